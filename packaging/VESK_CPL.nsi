; The installer of the control panel, one per architecture. scripts/make-package defines
; VERSION (as the program shows it), VERSION_QUAD (1.0.1.0), ARCH (x86 or x64), SOURCE_DIR
; (VESK_CPL.exe and README.txt) and OUTFILE.
;
; It installs the panel under Program Files, adds a Start-menu shortcut and an uninstaller
; registered under Add/Remove Programs, and offers "Start with Windows", which starts the panel
; hidden at log-on from the user's Run key. The installer writes these entries; the panel
; itself keeps no settings. Silent installs take /STARTWITHWINDOWS=0 to leave the option out.
; The x64 installer is a 64-bit program itself: it runs where only 64-bit programs can, and
; writes the 64-bit registry and Program Files.
!if ${ARCH} == "x64"
  Target amd64-unicode
!else
  Target x86-unicode
!endif
SetCompressor /SOLID lzma
RequestExecutionLevel admin

!include "MUI2.nsh"
!include "FileFunc.nsh"
!include "LogicLib.nsh"

!define PRODUCT "Norvale QVX 1394 Driver Control Panel"
!define COMPANY "Norvale"
!define EXE "VESK_CPL.exe"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\VESK_CPL"
!define RUN_KEY "Software\Microsoft\Windows\CurrentVersion\Run"
!define RUN_VALUE "VESK_CPL"

Name "${PRODUCT}"
OutFile "${OUTFILE}"
!if ${ARCH} == "x64"
  InstallDir "$PROGRAMFILES64\${COMPANY}\VESK_CPL"
!else
  InstallDir "$PROGRAMFILES32\${COMPANY}\VESK_CPL"
!endif
VIProductVersion "${VERSION_QUAD}"
VIAddVersionKey "ProductName" "${PRODUCT}"
VIAddVersionKey "CompanyName" "${COMPANY}"
VIAddVersionKey "FileDescription" "${PRODUCT} Setup"
VIAddVersionKey "FileVersion" "${VERSION}"
VIAddVersionKey "ProductVersion" "${VERSION}"
VIAddVersionKey "LegalCopyright" "Copyright (C) 2026 ${COMPANY}. All rights reserved."

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

Section "${PRODUCT}" SecPanel
  SectionIn RO
  SetShellVarContext all
  SetOutPath "$INSTDIR"
  !insertmacro EndRunningPanel
  File "${SOURCE_DIR}\${EXE}"
  File "${SOURCE_DIR}\README.txt"
  WriteUninstaller "$INSTDIR\Uninstall.exe"
  CreateShortcut "$SMPROGRAMS\${PRODUCT}.lnk" "$INSTDIR\${EXE}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "${COMPANY}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\${EXE}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\Uninstall.exe"'
  WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\Uninstall.exe" /S'
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
SectionEnd

Section "Start with Windows" SecStartWithWindows
  WriteRegStr HKCU "${RUN_KEY}" "${RUN_VALUE}" '"$INSTDIR\${EXE}" -hide'
SectionEnd

Function .onInit
  ${GetParameters} $0
  ClearErrors
  ${GetOptions} $0 "/STARTWITHWINDOWS=" $1
  ${IfNot} ${Errors}
  ${AndIf} $1 == "0"
    SectionSetFlags ${SecStartWithWindows} 0
  ${EndIf}
FunctionEnd

LangString DESC_Panel ${LANG_ENGLISH} "The control panel of the 1394 audio driver."
LangString DESC_StartWithWindows ${LANG_ENGLISH} \
  "Starts the control panel hidden in the notification area when you log on."
!insertmacro MUI_FUNCTION_DESCRIPTION_BEGIN
  !insertmacro MUI_DESCRIPTION_TEXT ${SecPanel} $(DESC_Panel)
  !insertmacro MUI_DESCRIPTION_TEXT ${SecStartWithWindows} $(DESC_StartWithWindows)
!insertmacro MUI_FUNCTION_DESCRIPTION_END

Section "Uninstall"
  SetShellVarContext all
  !insertmacro EndRunningPanel
  Delete "$INSTDIR\${EXE}"
  Delete "$INSTDIR\README.txt"
  Delete "$INSTDIR\Uninstall.exe"
  RMDir "$INSTDIR"
  RMDir "$INSTDIR\.."
  Delete "$SMPROGRAMS\${PRODUCT}.lnk"
  DeleteRegValue HKCU "${RUN_KEY}" "${RUN_VALUE}"
  DeleteRegKey HKLM "${UNINSTALL_KEY}"
SectionEnd
