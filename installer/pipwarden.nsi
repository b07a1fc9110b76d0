; Per-user installer of Pip Warden: no administrator, everything under the current user.
; scripts/package.sh gives:
;   VERSION  the project version, four numbers (the build's version header)
;   STAGE    a folder laid out as an installation
;   OUTFILE  the installer to write
!ifdef AMD64
  Target amd64-unicode
!else
  Unicode true
!endif
SetCompressor /SOLID lzma
RequestExecutionLevel user
ManifestDPIAware true
ManifestSupportedOS all

!ifndef VERSION | STAGE | OUTFILE
  !error "makensis needs -DVERSION=, -DSTAGE= and -DOUTFILE="
!endif

!define PRODUCT "Pip Warden"
!define PUBLISHER "Norvak"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\PipWarden"
!define RUN_KEY "Software\Microsoft\Windows\CurrentVersion\Run"
!define RUN_VALUE "Tickmon"
!define LAUNCHER "Pip Warden.exe"
!define MAIN_PROGRAM "file\Pipwarden.exe"
!define UNINSTALLER "Uninstall.exe"
!define SHORTCUT "${PRODUCT}.lnk"
; The price bar's window and its menu's Exit command: the clean way to end the program.
!define BAR_CLASS "#32770"
!define BAR_TITLE "Norvak Pip Warden"
!define EXIT_COMMAND 32772
!define SYNCHRONIZE 0x00100000
!define EXIT_WAIT_MS 5000

Name "${PRODUCT} ${VERSION}"
OutFile "${OUTFILE}"
InstallDir "$LOCALAPPDATA\Programs\${PRODUCT}"
; An upgrade goes where the last installation went.
InstallDirRegKey HKCU "${UNINSTALL_KEY}" "InstallLocation"
BrandingText "${PUBLISHER}"
ShowInstDetails nevershow
ShowUninstDetails nevershow

!include MUI2.nsh
!include LogicLib.nsh

; Paths are relative to this folder: makensis works from here.
!define MUI_ICON "..\resources\art\pipwarden.ico"
!define MUI_UNICON "..\resources\art\pipwarden.ico"
!define MUI_ABORTWARNING
!define MUI_FINISHPAGE_RUN "$INSTDIR\${LAUNCHER}"

!insertmacro MUI_PAGE_LICENSE "${STAGE}\License.txt"
!insertmacro MUI_PAGE_COMPONENTS
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES

; The first language is the fallback; otherwise the user's own language is taken.
!insertmacro MUI_LANGUAGE "English"
!insertmacro MUI_LANGUAGE "SimpChinese"

LangString SectionProgram ${LANG_ENGLISH} "Pip Warden"
LangString SectionProgram ${LANG_SIMPCHINESE} "Pip Warden"
LangString SectionDesktop ${LANG_ENGLISH} "Desktop shortcut"
LangString SectionDesktop ${LANG_SIMPCHINESE} "桌面快捷方式"
LangString DescProgram ${LANG_ENGLISH} "The price bar, its launcher and the voice clips, with a Start menu shortcut."
LangString DescProgram ${LANG_SIMPCHINESE} "报价条、启动程序和语音文件，并在开始菜单中创建快捷方式。"
LangString DescDesktop ${LANG_ENGLISH} "A shortcut to Pip Warden on the desktop."
LangString DescDesktop ${LANG_SIMPCHINESE} "在桌面上创建 Pip Warden 的快捷方式。"
LangString StillRunning ${LANG_ENGLISH} "Pip Warden is still running. Close it (right-click its tray icon, Exit), then choose Retry."
LangString StillRunning ${LANG_SIMPCHINESE} "Pip Warden 仍在运行。请先关闭它（右键单击托盘图标，选择“退出”），然后单击“重试”。"
LangString AskDeleteSettings ${LANG_ENGLISH} "Also delete your settings and alerts (pipward.cfg and fxconset.ini)?$\r$\n$\r$\nChoose No to keep them for a later installation."
LangString AskDeleteSettings ${LANG_SIMPCHINESE} "是否同时删除您的设置和警报（pipward.cfg 和 fxconset.ini）？$\r$\n$\r$\n选择“否”将保留它们，供以后安装时使用。"

VIProductVersion "${VERSION}"
VIFileVersion "${VERSION}"
VIAddVersionKey /LANG=${LANG_ENGLISH} "ProductName" "${PRODUCT}"
VIAddVersionKey /LANG=${LANG_ENGLISH} "CompanyName" "${PUBLISHER}"
VIAddVersionKey /LANG=${LANG_ENGLISH} "FileDescription" "${PRODUCT} setup"
VIAddVersionKey /LANG=${LANG_ENGLISH} "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=${LANG_ENGLISH} "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=${LANG_ENGLISH} "LegalCopyright" "Copyright ${PUBLISHER}. All rights reserved."

; Asks a running Pip Warden to exit as its menu's Exit does and waits for its end, so that
; its files can be replaced or removed and it saves its settings first. Aborts when it will
; not end and the user gives up (at once in a silent run).
!macro CLOSE_RUNNING_PROGRAM un
Function ${un}CloseRunningProgram
  StrCpy $R1 0
  ${Do}
    FindWindow $R0 "${BAR_CLASS}" "${BAR_TITLE}"
    ${If} $R0 = 0
      Return
    ${EndIf}
    ${If} $R1 >= 3
      MessageBox MB_RETRYCANCEL|MB_ICONEXCLAMATION "$(StillRunning)" /SD IDCANCEL IDRETRY +2
      Abort
      StrCpy $R1 0
      ${Continue}
    ${EndIf}
    System::Call "user32::GetWindowThreadProcessId(p R0, *i .R2)"
    System::Call "kernel32::OpenProcess(i ${SYNCHRONIZE}, i 0, i R2) p .R3"
    SendMessage $R0 ${WM_COMMAND} ${EXIT_COMMAND} 0 /TIMEOUT=2000
    ${If} $R3 P<> 0
      System::Call "kernel32::WaitForSingleObject(p R3, i ${EXIT_WAIT_MS})"
      System::Call "kernel32::CloseHandle(p R3)"
    ${Else}
      Sleep 1000
    ${EndIf}
    IntOp $R1 $R1 + 1
  ${Loop}
FunctionEnd
!macroend
!insertmacro CLOSE_RUNNING_PROGRAM ""
!insertmacro CLOSE_RUNNING_PROGRAM "un."

; The user's pipward.cfg and fxconset.ini are never shipped, so an upgrade cannot touch them.
Section "!$(SectionProgram)" SectionProgram
  SectionIn RO
  Call CloseRunningProgram
  SetOutPath "$INSTDIR"
  File "${STAGE}\${LAUNCHER}"
  File "${STAGE}\License.txt"
  File "${STAGE}\ReadMe.txt"
  SetOutPath "$INSTDIR\file"
  File "${STAGE}\file\Pipwarden.exe"
  SetOutPath "$INSTDIR\file\data\enf"
  File "${STAGE}\file\data\enf\*.MTQ"
  SetOutPath "$INSTDIR\file\data\cnf"
  File "${STAGE}\file\data\cnf\*.MTQ"
  SetOutPath "$INSTDIR"

  CreateShortcut "$SMPROGRAMS\${SHORTCUT}" "$INSTDIR\${LAUNCHER}" "" "$INSTDIR\${MAIN_PROGRAM}" 0

  WriteUninstaller "$INSTDIR\${UNINSTALLER}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "Publisher" "${PUBLISHER}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\${MAIN_PROGRAM},0"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\${UNINSTALLER}"'
  WriteRegStr HKCU "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\${UNINSTALLER}" /S'
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoRepair" 1
  SectionGetSize ${SectionProgram} $0
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "EstimatedSize" $0
SectionEnd

Section /o "$(SectionDesktop)" SectionDesktop
  CreateShortcut "$DESKTOP\${SHORTCUT}" "$INSTDIR\${LAUNCHER}" "" "$INSTDIR\${MAIN_PROGRAM}" 0
SectionEnd

!insertmacro MUI_FUNCTION_DESCRIPTION_BEGIN
  !insertmacro MUI_DESCRIPTION_TEXT ${SectionProgram} "$(DescProgram)"
  !insertmacro MUI_DESCRIPTION_TEXT ${SectionDesktop} "$(DescDesktop)"
!insertmacro MUI_FUNCTION_DESCRIPTION_END

Section "Uninstall"
  Call un.CloseRunningProgram

  Delete "$INSTDIR\${LAUNCHER}"
  Delete "$INSTDIR\License.txt"
  Delete "$INSTDIR\ReadMe.txt"
  Delete "$INSTDIR\${MAIN_PROGRAM}"
  Delete "$INSTDIR\file\data\enf\*.MTQ"
  Delete "$INSTDIR\file\data\cnf\*.MTQ"
  RMDir "$INSTDIR\file\data\enf"
  RMDir "$INSTDIR\file\data\cnf"
  RMDir "$INSTDIR\file\data"
  ; Left behind by a settings write that was cut short.
  Delete "$INSTDIR\file\*.~*.tmp"

  Delete "$SMPROGRAMS\${SHORTCUT}"
  Delete "$DESKTOP\${SHORTCUT}"

  ; Only the start with Windows of this installation: a copy elsewhere keeps its own.
  ReadRegStr $0 HKCU "${RUN_KEY}" "${RUN_VALUE}"
  StrCpy $1 '"$INSTDIR\'
  StrLen $2 $1
  StrCpy $3 $0 $2
  ${If} $3 == $1
    DeleteRegValue HKCU "${RUN_KEY}" "${RUN_VALUE}"
  ${EndIf}

  ${If} ${FileExists} "$INSTDIR\file\pipward.cfg"
  ${OrIf} ${FileExists} "$INSTDIR\file\fxconset.ini"
    MessageBox MB_YESNO|MB_ICONQUESTION|MB_DEFBUTTON2 "$(AskDeleteSettings)" /SD IDNO IDNO keep_settings
    Delete "$INSTDIR\file\pipward.cfg"
    Delete "$INSTDIR\file\fxconset.ini"
    keep_settings:
  ${EndIf}
  RMDir "$INSTDIR\file"

  Delete "$INSTDIR\${UNINSTALLER}"
  RMDir "$INSTDIR"
  DeleteRegKey HKCU "${UNINSTALL_KEY}"
SectionEnd
