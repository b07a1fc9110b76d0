#include "platform/FileSystem.h"

namespace {
FileSystem* installedFiles = nullptr;
}

FileSystem& Files() {
    return installedFiles ? *installedFiles : PlatformFiles();
}
void SetFiles(FileSystem* files) {
    installedFiles = files;
}
