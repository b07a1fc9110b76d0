// Prints one line of another process's resource counts, for long runs that watch for leaks:
//   procstat PID|IMAGE.exe   ->   gdi=N user=N handles=N private_kb=N
// Where the system does not answer a count for another process (Wine leaves several as
// stubs), it is taken another way: GDI objects from the process's own handle table, user
// objects as its windows, handles from the system's handle list, private memory as its
// committed private regions. -1 when no way answered.
#include <windows.h>

#include <psapi.h>
#include <tlhelp32.h>
#include <winternl.h>

#include <cstdio>
#include <cstdlib>
#include <cwchar>
#include <map>
#include <string>
#include <vector>

namespace {

constexpr int kExitUsage = 2;
constexpr int kExitNoProcess = 3;

// The process with this id, or the only one whose image file has this name.
DWORD FindProcess(const wchar_t* what) {
    wchar_t* end = nullptr;
    const unsigned long id = std::wcstoul(what, &end, 10);
    if (end && *end == L'\0' && id != 0)
        return id;
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (snapshot == INVALID_HANDLE_VALUE)
        return 0;
    PROCESSENTRY32W entry{};
    entry.dwSize = sizeof entry;
    DWORD found = 0;
    int matches = 0;
    for (BOOL more = Process32FirstW(snapshot, &entry); more; more = Process32NextW(snapshot, &entry))
        if (_wcsicmp(entry.szExeFile, what) == 0) {
            found = entry.th32ProcessID;
            ++matches;
        }
    CloseHandle(snapshot);
    return matches == 1 ? found : 0;
}

using QuerySystemInformation = NTSTATUS(WINAPI*)(ULONG, PVOID, ULONG, PULONG);

void* NtFunction(const char* name) {
    return reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"ntdll.dll"), name));
}

// ---- GDI objects: the live entries of the process's GDI handle table ----------------
// Wine keeps the table in a private block of its own size and does not publish its address.
// A freed entry keeps its kind and generation and only has its type cleared: counting the
// entries with a kind would count every entry ever used, the most objects ever alive at once.
#pragma pack(push, 1)
struct GdiHandleEntry {
    unsigned long long object;
    ULONG owner;
    UCHAR kind; // the handle's type bits, and the stock flag in the top bit; kept when freed
    UCHAR generation;
    UCHAR type; // 0 for a free entry
    UCHAR flags;
    unsigned long long userPointer;
};
#pragma pack(pop)
static_assert(sizeof(GdiHandleEntry) == 24);
constexpr std::size_t kGdiTableEntries = 0x10000;
constexpr SIZE_T kGdiTableBytes = kGdiTableEntries * sizeof(GdiHandleEntry);

// An entry's kind by name, for telling which kind a rise is of.
const char* GdiKindName(UCHAR kind) {
    switch (kind) {
    case 0x01: return "dc";
    case 0x04: return "region";
    case 0x05: return "surface";
    case 0x08: return "palette";
    case 0x09: return "bitmap";
    case 0x0a: return "font";
    case 0x10: return "brush";
    case 0x30: return "pen";
    case 0x41: return "memdc";
    case 0x50: return "extpen";
    default: return nullptr;
    }
}

// The live entries, and in kinds ("dc:3,font:12,...") when asked.
long GdiObjectsFromTable(HANDLE process, std::string* kinds = nullptr) {
    std::vector<GdiHandleEntry> entries(kGdiTableEntries);
    MEMORY_BASIC_INFORMATION region{};
    for (const char* at = nullptr; VirtualQueryEx(process, at, &region, sizeof region);
         at = static_cast<const char*>(region.BaseAddress) + region.RegionSize) {
        if (region.State != MEM_COMMIT || region.Type != MEM_PRIVATE ||
            region.RegionSize != kGdiTableBytes)
            continue;
        SIZE_T moved = 0;
        if (!ReadProcessMemory(process, region.BaseAddress, entries.data(), kGdiTableBytes, &moved))
            continue;
        long used = 0;
        std::map<UCHAR, long> byKind;
        for (const GdiHandleEntry& entry : entries)
            if (entry.type != 0) {
                ++used;
                ++byKind[entry.kind & 0x7f];
            }
        if (used == 0)
            continue;
        for (const auto& [kind, count] : byKind) {
            if (!kinds)
                break;
            char item[32];
            if (const char* name = GdiKindName(kind))
                std::snprintf(item, sizeof item, "%s:%ld", name, count);
            else
                std::snprintf(item, sizeof item, "kind%x:%ld", static_cast<unsigned>(kind), count);
            *kinds += (kinds->empty() ? "" : ",") + std::string(item);
        }
        return used;
    }
    return -1;
}

// Committed private memory, as the system's private bytes count it.
long PrivateKbFromRegions(HANDLE process) {
    unsigned long long bytes = 0;
    MEMORY_BASIC_INFORMATION region{};
    for (const char* at = nullptr; VirtualQueryEx(process, at, &region, sizeof region);
         at = static_cast<const char*>(region.BaseAddress) + region.RegionSize)
        if (region.State == MEM_COMMIT && region.Type == MEM_PRIVATE)
            bytes += region.RegionSize;
    return bytes ? static_cast<long>(bytes / 1024) : -1;
}

// ---- user objects: the process's windows, top-level and child ------------------------

struct WindowCount {
    DWORD id;
    long count;
};

BOOL CALLBACK CountChild(HWND, LPARAM data) {
    ++reinterpret_cast<WindowCount*>(data)->count;
    return TRUE;
}

BOOL CALLBACK CountTopLevel(HWND window, LPARAM data) {
    auto* windows = reinterpret_cast<WindowCount*>(data);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner == windows->id) {
        ++windows->count;
        EnumChildWindows(window, CountChild, data); // all descendants
    }
    return TRUE;
}

long WindowsOf(DWORD id) {
    WindowCount windows{id, 0};
    EnumWindows(CountTopLevel, reinterpret_cast<LPARAM>(&windows));
    return windows.count;
}

// ---- handles: the system's list of every open handle -------------------------------

struct HandleEntry {
    ULONG ownerPid;
    BYTE objectType;
    BYTE flags;
    USHORT handle;
    PVOID object;
    ACCESS_MASK access;
};
constexpr ULONG kSystemHandleInformation = 16;
constexpr NTSTATUS kInfoLengthMismatch = static_cast<NTSTATUS>(0xC0000004L);

long HandlesFromSystemList(DWORD id) {
    auto query = reinterpret_cast<QuerySystemInformation>(NtFunction("NtQuerySystemInformation"));
    if (!query)
        return -1;
    std::vector<char> buffer(1 << 20);
    NTSTATUS status;
    while ((status = query(kSystemHandleInformation, buffer.data(),
                           static_cast<ULONG>(buffer.size()), nullptr)) == kInfoLengthMismatch)
        buffer.resize(buffer.size() * 2);
    if (status != 0)
        return -1;
    const ULONG count = *reinterpret_cast<const ULONG*>(buffer.data());
    const auto* entries = reinterpret_cast<const HandleEntry*>(buffer.data() + sizeof(ULONG_PTR));
    long owned = 0;
    for (ULONG i = 0; i < count; ++i)
        if (entries[i].ownerPid == id)
            ++owned;
    return owned;
}

} // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: procstat PID|IMAGE.exe\n");
        return kExitUsage;
    }
    const DWORD id = FindProcess(argv[1]);
    HANDLE process = id ? OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, id)
                        : nullptr;
    if (!process) {
        std::fprintf(stderr, "procstat: no single process %ls\n", argv[1]);
        return kExitNoProcess;
    }
    long gdi = static_cast<long>(GetGuiResources(process, GR_GDIOBJECTS));
    std::string gdiKinds;
    if (gdi == 0)
        gdi = GdiObjectsFromTable(process, &gdiKinds);
    long user = static_cast<long>(GetGuiResources(process, GR_USEROBJECTS));
    if (user == 0)
        user = WindowsOf(id);
    DWORD handleCount = 0;
    long handles = GetProcessHandleCount(process, &handleCount) && handleCount
                       ? static_cast<long>(handleCount)
                       : HandlesFromSystemList(id);
    PROCESS_MEMORY_COUNTERS_EX memory{};
    memory.cb = sizeof memory;
    long privateKb =
        GetProcessMemoryInfo(process, reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&memory),
                             sizeof memory)
            ? static_cast<long>(memory.PrivateUsage / 1024)
            : 0;
    if (privateKb == 0)
        privateKb = PrivateKbFromRegions(process);
    CloseHandle(process);
    std::printf("pid=%lu gdi=%ld user=%ld handles=%ld private_kb=%ld%s%s\n",
                static_cast<unsigned long>(id), gdi, user, handles, privateKb,
                gdiKinds.empty() ? "" : " gdi_kinds=", gdiKinds.c_str());
    return 0;
}
