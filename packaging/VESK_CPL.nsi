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
;
; One product: the x86 and the x64 build are the same panel, and an install of either replaces
; an install of the other (or of an earlier version) in the same scope, so that one uninstall
; entry, one shortcut and one Run value stand for it. A running panel is ended and waited for
; before any file is replaced or removed; a file that still cannot be replaced or removed ends
; the installer or uninstaller with exit code 2 and the files as they were.
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
Var MadeParent

Page custom ScopePage ScopePageLeave
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_COMPONENTS
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
; The installer speaks the user's display language where it has it (NSIS chooses by it, as the
; panel does; a Unicode installer shows every language on any code page), English otherwise.
!insertmacro MUI_LANGUAGE "English"
!insertmacro MUI_LANGUAGE "German"
!insertmacro MUI_LANGUAGE "French"
!insertmacro MUI_LANGUAGE "Spanish"
!insertmacro MUI_LANGUAGE "Italian"
!insertmacro MUI_LANGUAGE "Japanese"
!insertmacro MUI_LANGUAGE "SimpChinese"
!include "lang\English.nsh"
!include "lang\German.nsh"
!include "lang\French.nsh"
!include "lang\Spanish.nsh"
!include "lang\Italian.nsh"
!include "lang\Japanese.nsh"
!include "lang\SimpChinese.nsh"

; Ends the installer or uninstaller: exit code 2, a message, and nothing more done.
!macro Fail MESSAGE
  DetailPrint "${MESSAGE}"
  ${IfNot} ${Silent}
    MessageBox MB_ICONSTOP|MB_OK "${MESSAGE}"
  ${EndIf}
  SetErrorLevel 2
  Abort "${MESSAGE}"
!macroend

; A running panel is asked to end ("-exit", which waits for it), then each of the files is
; waited for until it can be written: a panel of an earlier version returns from "-exit" at
; once, and veskcfg may be running in a console. Fails after about 10 s, or, interactively,
; when the user gives up.
!macro EndRunningPanel UN
  IfFileExists "$INSTDIR\${EXE}" 0 +2
    ExecWait '"$INSTDIR\${EXE}" -exit'
  Call ${UN}WaitUntilReplaceable
!macroend

!macro WaitUntilReplaceableFunction UN
Function ${UN}WaitUntilReplaceable
  StrCpy $R9 0
  ${Do}
    StrCpy $R8 ""
    ${ForEach} $R7 1 2 + 1
      ${If} $R7 == 1
        StrCpy $R6 "$INSTDIR\${EXE}"
      ${Else}
        StrCpy $R6 "$INSTDIR\veskcfg.exe"
      ${EndIf}
      ${If} ${FileExists} $R6
        ClearErrors
        FileOpen $R5 $R6 a
        ${If} ${Errors}
          StrCpy $R8 $R6
        ${Else}
          FileClose $R5
        ${EndIf}
      ${EndIf}
    ${Next}
    ${If} $R8 == ""
      Return
    ${EndIf}
    IntOp $R9 $R9 + 1
    ${If} $R9 > 20
      ${If} ${Silent}
        !insertmacro Fail "$(IN_USE_SILENT)"
      ${EndIf}
      MessageBox MB_ICONEXCLAMATION|MB_RETRYCANCEL "$(IN_USE_RETRY)" IDRETRY +2
      !insertmacro Fail "$(IN_USE_UNCHANGED)"
      StrCpy $R9 0
    ${EndIf}
    Sleep 500
  ${Loop}
FunctionEnd
!macroend
!insertmacro WaitUntilReplaceableFunction ""
!insertmacro WaitUntilReplaceableFunction "un."

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
      ClearErrors
      ExecShell "runas" '"$EXEPATH"' '${EXIT_PARAMETERS}'
      ; The elevation prompt cancelled: back to the page to choose again.
      ${If} ${Errors}
        Abort
      ${EndIf}
      Quit
    ${EndIf}
  ${EndIf}
!macroend

; Replaces an install of the other architecture (or an earlier one elsewhere) in this scope:
; its own uninstaller removes it, waited for, before anything of this one is written.
!macro ReplaceOtherInstallInView ROOT VIEW
  SetRegView ${VIEW}
  ReadRegStr $R3 ${ROOT} "${UNINSTALL_KEY}" "InstallLocation"
  ${If} $R3 != ""
  ${AndIf} $R3 != $INSTDIR
  ${AndIf} ${FileExists} "$R3\Uninstall.exe"
    DetailPrint "$(REMOVING_OLD)"
    ClearErrors
    ; _?= runs the uninstaller where it is, so that the wait is for the removal itself.
    ExecWait '"$R3\Uninstall.exe" /S _?=$R3' $R2
    ${If} ${Errors}
    ${OrIf} $R2 != 0
      !insertmacro Fail "$(OLD_NOT_REMOVED)"
    ${EndIf}
    Delete "$R3\Uninstall.exe"
    RMDir "$R3"
  ${EndIf}
!macroend

!macro ReplaceOtherInstall ROOT
  !insertmacro ReplaceOtherInstallInView ${ROOT} 32
  !insertmacro ReplaceOtherInstallInView ${ROOT} 64
  !if ${ARCH} == "x64"
    SetRegView 64
  !else
    SetRegView 32
  !endif
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
  ; Whether the installer made the folder that holds the program's folder, so that the
  ; uninstaller removes that one only then.
  WriteRegDWORD ${ROOT} "${UNINSTALL_KEY}" "MadeParentFolder" $MadeParent
!macroend

Function ScopePage
  !insertmacro MUI_HEADER_TEXT "$(SCOPE_TITLE)" "$(SCOPE_SUBTITLE)"
  nsDialogs::Create 1018
  Pop $0
  ${NSD_CreateRadioButton} 0 10u 100% 12u "$(SCOPE_ME)"
  Pop $1
  ${NSD_CreateRadioButton} 0 30u 100% 12u "$(SCOPE_EVERYONE)"
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

; Whether $INSTDIR lies in Program Files, which only administrators can change: a program that
; every user starts must not sit where a standard user could replace it.
Function InProgramFiles
  StrCpy $R0 0
  ${ForEach} $R1 1 2 + 1
    ${If} $R1 == 1
      StrCpy $R2 "$PROGRAMFILES32\"
    ${Else}
      StrCpy $R2 "$PROGRAMFILES64\"
    ${EndIf}
    StrLen $R3 $R2
    StrCpy $R4 "$INSTDIR" $R3
    ${If} $R4 == $R2
      StrCpy $R0 1
    ${EndIf}
  ${Next}
FunctionEnd

Function .onVerifyInstDir
  ${If} $AllUsers == 1
    Call InProgramFiles
    ${If} $R0 != 1
      Abort
    ${EndIf}
  ${EndIf}
FunctionEnd

Section "${PRODUCT}" SecPanel
  SectionIn RO
  !insertmacro UseScope
  ${If} $AllUsers == 1
    Call InProgramFiles
    ${If} $R0 != 1
      !insertmacro Fail "$(NOT_PROGRAM_FILES)"
    ${EndIf}
    !insertmacro ReplaceOtherInstall HKLM
  ${Else}
    !insertmacro ReplaceOtherInstall HKCU
  ${EndIf}
  !insertmacro EndRunningPanel ""
  ; An upgrade keeps what the first install found.
  ${If} $AllUsers == 1
    ReadRegDWORD $MadeParent HKLM "${UNINSTALL_KEY}" "MadeParentFolder"
  ${Else}
    ReadRegDWORD $MadeParent HKCU "${UNINSTALL_KEY}" "MadeParentFolder"
  ${EndIf}
  ${IfNot} ${FileExists} "$INSTDIR\..\*.*"
    StrCpy $MadeParent 1
  ${EndIf}
  ${If} $MadeParent != 1
    StrCpy $MadeParent 0
  ${EndIf}
  SetOutPath "$INSTDIR"
  ; A file that cannot be replaced is not skipped in silence: the install fails.
  SetOverwrite try
  ClearErrors
  File "${SOURCE_DIR}\${EXE}"
  File "${SOURCE_DIR}\veskcfg.exe"
  File "${SOURCE_DIR}\README.txt"
  File "${SOURCE_DIR}\THIRD-PARTY-NOTICES.txt"
  ${If} ${Errors}
    !insertmacro Fail "$(NOT_REPLACED)"
  ${EndIf}
  WriteUninstaller "$INSTDIR\Uninstall.exe"
  CreateShortcut "$SMPROGRAMS\${PRODUCT}.lnk" "$INSTDIR\${EXE}"
  ${If} $AllUsers == 1
    !insertmacro WriteUninstallEntry HKLM
  ${Else}
    !insertmacro WriteUninstallEntry HKCU
  ${EndIf}
SectionEnd

; For everyone: the computer's Run key, which starts the panel for every user who logs on;
; for me: the user's own.
Section "$(SECTION_START)" SecStartWithWindows
  ${If} $AllUsers == 1
    WriteRegStr HKLM "${RUN_KEY}" "${RUN_VALUE}" '"$INSTDIR\${EXE}" -hide'
  ${Else}
    WriteRegStr HKCU "${RUN_KEY}" "${RUN_VALUE}" '"$INSTDIR\${EXE}" -hide'
  ${EndIf}
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
  !insertmacro EndRunningPanel "un."
  ${If} $AllUsers == 1
    ReadRegDWORD $MadeParent HKLM "${UNINSTALL_KEY}" "MadeParentFolder"
  ${Else}
    ReadRegDWORD $MadeParent HKCU "${UNINSTALL_KEY}" "MadeParentFolder"
  ${EndIf}
  ClearErrors
  Delete "$INSTDIR\${EXE}"
  Delete "$INSTDIR\veskcfg.exe"
  Delete "$INSTDIR\README.txt"
  Delete "$INSTDIR\THIRD-PARTY-NOTICES.txt"
  ${If} ${Errors}
    !insertmacro Fail "$(NOT_REMOVED)"
  ${EndIf}
  ; Run in place (_?=, by an installer that replaces this install) the uninstaller cannot
  ; remove itself: that installer does.
  Delete "$INSTDIR\Uninstall.exe"
  ; Folders only when empty, and the one above only when the installer made it.
  RMDir "$INSTDIR"
  ${If} $MadeParent == 1
    RMDir "$INSTDIR\.."
  ${EndIf}
  Delete "$SMPROGRAMS\${PRODUCT}.lnk"
  ${If} $AllUsers == 1
    DeleteRegValue HKLM "${RUN_KEY}" "${RUN_VALUE}"
    DeleteRegKey HKLM "${UNINSTALL_KEY}"
  ${Else}
    DeleteRegValue HKCU "${RUN_KEY}" "${RUN_VALUE}"
    DeleteRegKey HKCU "${UNINSTALL_KEY}"
  ${EndIf}
SectionEnd
