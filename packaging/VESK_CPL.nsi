; The installer of the control panel, one per architecture. scripts/make-package defines
; VERSION (as the program shows it), VERSION_QUAD (1.0.1.0), ARCH (x86 or x64), SOURCE_DIR
; (VESK_CPL.exe, veskcfg.exe, README.txt and THIRD-PARTY-NOTICES.txt), OUTFILE and, when the release is
; signed, SIGN_COMMAND (a command that signs the file named after it in place).
;
; It installs the panel either for the user who runs it ("for me": no administrator rights,
; under the user's own programs folder, registered for that user) or for everyone (Program
; Files, registered for the computer, with administrator rights), adds a Start-menu shortcut
; and an uninstaller registered under Add/Remove Programs, and offers "Start with Windows",
; which starts the panel hidden at log-on from the user's Run key. The installer writes these
; entries; the panel itself keeps no settings. Silent installs (/S) take /CURRENTUSER or
; /ALLUSERS (for everyone, the default when the user is an administrator), and
; /STARTWITHWINDOWS=0 to leave the option out. The x64 installer is a 64-bit program itself:
; it runs where only 64-bit programs can, and writes the 64-bit registry and Program Files.
!if ${ARCH} == "x64"
  Target amd64-unicode
!else
  Target x86-unicode
!endif
SetCompressor /SOLID lzma
; The files keep no time of their own in the installer, so that a rebuild is byte-identical.
SetDateSave off
; Only "for everyone" needs administrator rights; the installer asks for them then.
RequestExecutionLevel user

!ifdef SIGN_COMMAND
  !uninstfinalize '${SIGN_COMMAND} "%1"'
!endif

!include "MUI2.nsh"
!include "FileFunc.nsh"
!include "LogicLib.nsh"
!include "nsDialogs.nsh"

!define PRODUCT "Norvale QVX 1394 Driver Control Panel"
!define COMPANY "Norvale"
!define EXE "VESK_CPL.exe"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\VESK_CPL"
!define RUN_KEY "Software\Microsoft\Windows\CurrentVersion\Run"
!define RUN_VALUE "VESK_CPL"

Name "${PRODUCT}"
OutFile "${OUTFILE}"
VIProductVersion "${VERSION_QUAD}"
VIAddVersionKey "ProductName" "${PRODUCT}"
VIAddVersionKey "CompanyName" "${COMPANY}"
VIAddVersionKey "FileDescription" "${PRODUCT} Setup"
VIAddVersionKey "FileVersion" "${VERSION}"
VIAddVersionKey "ProductVersion" "${VERSION}"
VIAddVersionKey "LegalCopyright" "Copyright (C) 2026 ${COMPANY}. All rights reserved."

; 1: for everyone; 0: for the user who runs the installer.
Var AllUsers
Var AllUsersButton

Page custom ScopePage ScopePageLeave
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_COMPONENTS
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "English"

; A running panel is asked to end ("-exit") before its files are replaced or removed.
!macro EndRunningPanel
  IfFileExists "$INSTDIR\${EXE}" 0 +2
    ExecWait '"$INSTDIR\${EXE}" -exit'
!macroend

; The shell folders, the registry root and, unless given, the folder of the chosen scope.
!macro UseScope
  ${If} $AllUsers == 1
    SetShellVarContext all
  ${Else}
    SetShellVarContext current
  ${EndIf}
!macroend

!macro DefaultFolder
  ${If} $AllUsers == 1
    !if ${ARCH} == "x64"
      StrCpy $INSTDIR "$PROGRAMFILES64\${COMPANY}\VESK_CPL"
    !else
      StrCpy $INSTDIR "$PROGRAMFILES32\${COMPANY}\VESK_CPL"
    !endif
  ${Else}
    StrCpy $INSTDIR "$LOCALAPPDATA\Programs\${COMPANY}\VESK_CPL"
  ${EndIf}
!macroend

; For everyone needs administrator rights: without them the installer starts again elevated
; (it asks), or, when silent, ends with 740 (ERROR_ELEVATION_REQUIRED) so that the caller can
; start it elevated.
!macro EnsureRightsFor EXIT_PARAMETERS
  ${If} $AllUsers == 1
    UserInfo::GetAccountType
    Pop $1
    ${If} $1 != "admin"
      ${If} ${Silent}
        SetErrorLevel 740
        Quit
      ${EndIf}
      ExecShell "runas" '"$EXEPATH"' '${EXIT_PARAMETERS}'
      Quit
    ${EndIf}
  ${EndIf}
!macroend

!macro WriteUninstallEntry ROOT
  WriteRegStr ${ROOT} "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT}"
  WriteRegStr ${ROOT} "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr ${ROOT} "${UNINSTALL_KEY}" "Publisher" "${COMPANY}"
  WriteRegStr ${ROOT} "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\${EXE}"
  WriteRegStr ${ROOT} "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr ${ROOT} "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\Uninstall.exe"'
  WriteRegStr ${ROOT} "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\Uninstall.exe" /S'
  WriteRegDWORD ${ROOT} "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD ${ROOT} "${UNINSTALL_KEY}" "NoRepair" 1
!macroend

Function ScopePage
  !insertmacro MUI_HEADER_TEXT "Choose who uses the control panel" \
    "Install it for yourself alone, or for everyone who uses this computer."
  nsDialogs::Create 1018
  Pop $0
  ${NSD_CreateRadioButton} 0 10u 100% 12u "Install for &me only (no administrator rights needed)"
  Pop $1
  ${NSD_CreateRadioButton} 0 30u 100% 12u "Install for &everyone who uses this computer"
  Pop $AllUsersButton
  ${If} $AllUsers == 1
    ${NSD_Check} $AllUsersButton
  ${Else}
    ${NSD_Check} $1
  ${EndIf}
  nsDialogs::Show
FunctionEnd

Function ScopePageLeave
  ${NSD_GetState} $AllUsersButton $0
  ${If} $0 == ${BST_CHECKED}
    StrCpy $AllUsers 1
  ${Else}
    StrCpy $AllUsers 0
  ${EndIf}
  !insertmacro EnsureRightsFor "/ALLUSERS"
  !insertmacro UseScope
  !insertmacro DefaultFolder
FunctionEnd

Section "${PRODUCT}" SecPanel
  SectionIn RO
  !insertmacro UseScope
  SetOutPath "$INSTDIR"
  !insertmacro EndRunningPanel
  File "${SOURCE_DIR}\${EXE}"
  File "${SOURCE_DIR}\veskcfg.exe"
  File "${SOURCE_DIR}\README.txt"
  File "${SOURCE_DIR}\THIRD-PARTY-NOTICES.txt"
  WriteUninstaller "$INSTDIR\Uninstall.exe"
  CreateShortcut "$SMPROGRAMS\${PRODUCT}.lnk" "$INSTDIR\${EXE}"
  ${If} $AllUsers == 1
    !insertmacro WriteUninstallEntry HKLM
  ${Else}
    !insertmacro WriteUninstallEntry HKCU
  ${EndIf}
SectionEnd

Section "Start with Windows" SecStartWithWindows
  WriteRegStr HKCU "${RUN_KEY}" "${RUN_VALUE}" '"$INSTDIR\${EXE}" -hide'
SectionEnd

Function .onInit
  ${GetParameters} $0
  UserInfo::GetAccountType
  Pop $1
  ${If} $1 == "admin"
    StrCpy $AllUsers 1
  ${Else}
    StrCpy $AllUsers 0
  ${EndIf}
  ClearErrors
  ${GetOptions} $0 "/ALLUSERS" $1
  ${IfNot} ${Errors}
    StrCpy $AllUsers 1
  ${EndIf}
  ClearErrors
  ${GetOptions} $0 "/CURRENTUSER" $1
  ${IfNot} ${Errors}
    StrCpy $AllUsers 0
  ${EndIf}
  ClearErrors
  ${GetOptions} $0 "/STARTWITHWINDOWS=" $1
  ${IfNot} ${Errors}
  ${AndIf} $1 == "0"
    SectionSetFlags ${SecStartWithWindows} 0
  ${EndIf}
  ${If} ${Silent}
    !insertmacro EnsureRightsFor ""
  ${EndIf}
  !insertmacro UseScope
  ; A folder given with /D= stands.
  ${If} $INSTDIR == ""
    !insertmacro DefaultFolder
  ${EndIf}
FunctionEnd

LangString DESC_Panel ${LANG_ENGLISH} "The control panel of the 1394 audio driver."
LangString DESC_StartWithWindows ${LANG_ENGLISH} \
  "Starts the control panel hidden in the notification area when you log on."
!insertmacro MUI_FUNCTION_DESCRIPTION_BEGIN
  !insertmacro MUI_DESCRIPTION_TEXT ${SecPanel} $(DESC_Panel)
  !insertmacro MUI_DESCRIPTION_TEXT ${SecStartWithWindows} $(DESC_StartWithWindows)
!insertmacro MUI_FUNCTION_DESCRIPTION_END

; The uninstaller knows its scope from where it was registered: for the user who installed it
; when the user's own entry names its folder, else for everyone.
Function un.onInit
  StrCpy $AllUsers 1
  ReadRegStr $0 HKCU "${UNINSTALL_KEY}" "InstallLocation"
  ${If} $0 == $INSTDIR
    StrCpy $AllUsers 0
  ${EndIf}
  ${If} $AllUsers == 1
    UserInfo::GetAccountType
    Pop $1
    ${If} $1 != "admin"
      ${If} ${Silent}
        SetErrorLevel 740
        Quit
      ${EndIf}
      ExecShell "runas" '"$INSTDIR\Uninstall.exe"'
      Quit
    ${EndIf}
  ${EndIf}
FunctionEnd

Section "Uninstall"
  ${If} $AllUsers == 1
    SetShellVarContext all
  ${Else}
    SetShellVarContext current
  ${EndIf}
  !insertmacro EndRunningPanel
  Delete "$INSTDIR\${EXE}"
  Delete "$INSTDIR\veskcfg.exe"
  Delete "$INSTDIR\README.txt"
  Delete "$INSTDIR\THIRD-PARTY-NOTICES.txt"
  Delete "$INSTDIR\Uninstall.exe"
  RMDir "$INSTDIR"
  RMDir "$INSTDIR\.."
  Delete "$SMPROGRAMS\${PRODUCT}.lnk"
  DeleteRegValue HKCU "${RUN_KEY}" "${RUN_VALUE}"
  ${If} $AllUsers == 1
    DeleteRegKey HKLM "${UNINSTALL_KEY}"
  ${Else}
    DeleteRegKey HKCU "${UNINSTALL_KEY}"
  ${EndIf}
SectionEnd
