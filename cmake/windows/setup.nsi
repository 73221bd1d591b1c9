; The setup program of MORO Zel for Windows (NSIS 3, 64 bits).
; makensis -DVERSION=x.y.z -DSTAGE=folder -DOUTFILE=file setup.nsi
; STAGE holds files\ (what is installed) and the lists StageSetup.cmake wrote.
Unicode true
Target amd64-unicode
SetCompressor /SOLID lzma
!include "MUI2.nsh"
!include "x64.nsh"
!include "${STAGE}\size.nsh"

!define PRODUCT "MORO Zel"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\MORO Zel"

Name "${PRODUCT}"
OutFile "${OUTFILE}"
InstallDir "$PROGRAMFILES64\${PRODUCT}"
InstallDirRegKey HKLM "${UNINSTALL_KEY}" "InstallLocation"
RequestExecutionLevel admin
BrandingText "${PRODUCT} ${VERSION}"

!define MUI_ABORTWARNING
!define MUI_FINISHPAGE_RUN
!define MUI_FINISHPAGE_RUN_FUNCTION StartAsUser
!insertmacro MUI_PAGE_WELCOME
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "PortugueseBR"

Function .onInit
  SetRegView 64
FunctionEnd

; The installer runs as administrator; the program should not: Explorer
; starts it as the signed-in user.
Function StartAsUser
  Exec '"$WINDIR\explorer.exe" "$INSTDIR\zel.exe"'
FunctionEnd

Function un.onInit
  SetRegView 64
FunctionEnd

Section "MORO Zel"
  SetShellVarContext all
  !include "${STAGE}\install.nsh"
  WriteUninstaller "$INSTDIR\desinstalar.exe"
  CreateShortcut "$SMPROGRAMS\${PRODUCT}.lnk" "$INSTDIR\zel.exe" "" "$INSTDIR\zel.exe" 0 SW_SHOWNORMAL "" "Comandos de voz"
  ; Apps & Features
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "Projeto MORO Zel"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\zel.exe"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\desinstalar.exe"'
  WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\desinstalar.exe" /S'
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "EstimatedSize" ${SIZE_KB}
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
SectionEnd

; The program's own files only: each user's profiles, settings, history and
; trained voice live in that user's folder (%LOCALAPPDATA%\MORO Zel) and stay.
Section "Uninstall"
  SetShellVarContext all
  !include "${STAGE}\uninstall.nsh"
  Delete "$INSTDIR\desinstalar.exe"
  RMDir "$INSTDIR"
  Delete "$SMPROGRAMS\${PRODUCT}.lnk"
  DeleteRegKey HKLM "${UNINSTALL_KEY}"
SectionEnd
