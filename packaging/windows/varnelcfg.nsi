; The Windows setup program: both programs, the README and the licence under
; Program Files\varnelcfg for every user of the machine, a Start-menu entry
; for the desktop program, and an uninstaller that Add/Remove Programs lists.
; scripts/windows-package.sh builds it from the folder it packs the zip from:
;   makensis -DVERSION=0.1.0 -DSTAGE=<that folder> -DICON=<varnelcfg.ico>
;            -DOUTFILE=<setup.exe> varnelcfg.nsi
; /S installs silently, /D=C:\some\folder (last, unquoted) picks the folder.

; The programs are x64 builds, and so is the setup program: it writes the
; 64-bit registry view and Program Files without redirection, a 32-bit
; Windows refuses to start it at all, and a Wine without its 32-bit half
; (Debian's wine64 alone, which the tests use) runs it.
Target amd64-unicode
SetCompressor /SOLID lzma
!include MUI2.nsh
!include FileFunc.nsh

!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\varnelcfg"
!define PUBLISHER "The varnelcfg developers"

Name "varnelcfg ${VERSION}"
OutFile "${OUTFILE}"
InstallDir "$PROGRAMFILES64\varnelcfg"
RequestExecutionLevel admin

VIProductVersion "${VERSION}.0"
VIAddVersionKey ProductName "varnelcfg"
VIAddVersionKey ProductVersion "${VERSION}"
VIAddVersionKey FileVersion "${VERSION}"
VIAddVersionKey FileDescription "varnelcfg setup"
VIAddVersionKey CompanyName "${PUBLISHER}"
VIAddVersionKey LegalCopyright "Copyright (c) ${PUBLISHER}"

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "English"

Section
  SetOutPath "$INSTDIR"
  File "${STAGE}\varnelcfg.exe" "${STAGE}\varnelcfg-cli.exe" "${STAGE}\README.txt" "${STAGE}\LICENSE.txt"
  WriteUninstaller "$INSTDIR\uninstall.exe"

  SetShellVarContext all
  CreateShortcut "$SMPROGRAMS\varnelcfg.lnk" "$INSTDIR\varnelcfg.exe"

  WriteRegStr HKLM "${UNINSTALL_KEY}" DisplayName "varnelcfg"
  WriteRegStr HKLM "${UNINSTALL_KEY}" DisplayVersion "${VERSION}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" Publisher "${PUBLISHER}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" UninstallString '"$INSTDIR\uninstall.exe"'
  WriteRegStr HKLM "${UNINSTALL_KEY}" QuietUninstallString '"$INSTDIR\uninstall.exe" /S'
  WriteRegStr HKLM "${UNINSTALL_KEY}" InstallLocation "$INSTDIR"
  WriteRegStr HKLM "${UNINSTALL_KEY}" DisplayIcon "$INSTDIR\varnelcfg.exe"
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" NoModify 1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" NoRepair 1
  ; Add/Remove Programs shows the size in KiB.
  ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" EstimatedSize $0
SectionEnd

; Only what the setup program put there: anything the user left in the
; folder keeps it (RMDir without /r leaves a folder that is not empty).
Section Uninstall
  SetShellVarContext all
  Delete "$SMPROGRAMS\varnelcfg.lnk"
  Delete "$INSTDIR\varnelcfg.exe"
  Delete "$INSTDIR\varnelcfg-cli.exe"
  Delete "$INSTDIR\README.txt"
  Delete "$INSTDIR\LICENSE.txt"
  Delete "$INSTDIR\uninstall.exe"
  RMDir "$INSTDIR"
  DeleteRegKey HKLM "${UNINSTALL_KEY}"
SectionEnd
