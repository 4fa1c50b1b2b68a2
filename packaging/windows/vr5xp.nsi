; The installer of the Windows program: makensis -DVERSION=0.3.0 -DSTAGE=<the program folder>
; -DOUTFILE=<setup.exe> vr5xp.nsi (scripts/package-windows). Installs for every user of the
; machine: the program folder, a Start-menu entry, the .tjr and .tdc file types with Open, Print
; and Print To, and an uninstaller that leaves the user's reports and settings where they are.

Unicode true
; A 64-bit installer for a 64-bit program (and one that a 64-bit Wine runs alone).
Target amd64-unicode
!include "MUI2.nsh"

!define APP "Tarnell VR5-XP"
!define COMPANY "Tarnell Fusion Instruments"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Tarnell VR5-XP"
!define REPORT_TYPE "Tarnell.JointReport"
!define CALIBRATION_TYPE "Tarnell.Calibration"

Name "${APP}"
OutFile "${OUTFILE}"
InstallDir "$PROGRAMFILES64\${APP}"
InstallDirRegKey HKLM "${UNINSTALL_KEY}" "InstallLocation"
RequestExecutionLevel admin
SetCompressor /SOLID lzma

!define MUI_ICON "${STAGE}\vr5xp.ico"
!define MUI_UNICON "${STAGE}\vr5xp.ico"
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "English"

VIProductVersion "${VERSION}.0"
VIAddVersionKey /LANG=${LANG_ENGLISH} "ProductName" "${APP}"
VIAddVersionKey /LANG=${LANG_ENGLISH} "CompanyName" "${COMPANY}"
VIAddVersionKey /LANG=${LANG_ENGLISH} "FileDescription" "${APP} Setup"
VIAddVersionKey /LANG=${LANG_ENGLISH} "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=${LANG_ENGLISH} "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=${LANG_ENGLISH} "LegalCopyright" "Copyright (C) 2026 Tarnell Fusion Instruments"

; A file type: its name, icon and the three verbs, under the machine's classes.
!macro FileType EXTENSION PROGID DESCRIPTION
  WriteRegStr HKLM "Software\Classes\${EXTENSION}" "" "${PROGID}"
  WriteRegStr HKLM "Software\Classes\${PROGID}" "" "${DESCRIPTION}"
  WriteRegStr HKLM "Software\Classes\${PROGID}\DefaultIcon" "" "$INSTDIR\vr5xp.exe,0"
  WriteRegStr HKLM "Software\Classes\${PROGID}\shell" "" "open"
  WriteRegStr HKLM "Software\Classes\${PROGID}\shell\open\command" "" '"$INSTDIR\vr5xp.exe" "%1"'
  WriteRegStr HKLM "Software\Classes\${PROGID}\shell\print\command" "" '"$INSTDIR\vr5xp.exe" /p "%1"'
  WriteRegStr HKLM "Software\Classes\${PROGID}\shell\printto" "" "Print To"
  WriteRegStr HKLM "Software\Classes\${PROGID}\shell\printto\command" "" '"$INSTDIR\vr5xp.exe" /pt "%1" "%2" "%3" "%4"'
!macroend

; Takes a file type away only while it is still this program's.
!macro RemoveFileType EXTENSION PROGID
  ReadRegStr $0 HKLM "Software\Classes\${EXTENSION}" ""
  StrCmp $0 "${PROGID}" 0 +2
    DeleteRegKey HKLM "Software\Classes\${EXTENSION}"
  DeleteRegKey HKLM "Software\Classes\${PROGID}"
!macroend

Function .onInit
  SetShellVarContext all
  SetRegView 64
FunctionEnd

Function un.onInit
  SetShellVarContext all
  SetRegView 64
FunctionEnd

Section "Install"
  SetOutPath "$INSTDIR"
  File /r "${STAGE}\*.*"
  WriteUninstaller "$INSTDIR\uninstall.exe"

  CreateShortCut "$SMPROGRAMS\${APP}.lnk" "$INSTDIR\vr5xp.exe" "" "$INSTDIR\vr5xp.exe" 0

  !insertmacro FileType ".tjr" "${REPORT_TYPE}" "Tarnell Joint Report"
  !insertmacro FileType ".tdc" "${CALIBRATION_TYPE}" "Tarnell VR5 Calibration Cert."

  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "${APP}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "${COMPANY}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\vr5xp.exe,0"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
  WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1

  ; Explorer shows the new icons and verbs at once.
  System::Call 'shell32::SHChangeNotify(i 0x08000000, i 0, p 0, p 0)'
SectionEnd

; The program's own files only: the reports in Documents\Joint Reports and the settings in
; the user's registry stay.
Section "Uninstall"
  Delete "$SMPROGRAMS\${APP}.lnk"
  !insertmacro RemoveFileType ".tjr" "${REPORT_TYPE}"
  !insertmacro RemoveFileType ".tdc" "${CALIBRATION_TYPE}"
  DeleteRegKey HKLM "${UNINSTALL_KEY}"

  Delete "$INSTDIR\vr5xp.exe"
  Delete "$INSTDIR\vr5xp.ico"
  Delete "$INSTDIR\*.dll"
  RMDir /r "$INSTDIR\platforms"
  RMDir /r "$INSTDIR\styles"
  RMDir /r "$INSTDIR\imageformats"
  RMDir /r "$INSTDIR\sqldrivers"
  RMDir /r "$INSTDIR\procedures"
  RMDir /r "$INSTDIR\licenses"
  RMDir /r "$INSTDIR\lib"
  Delete "$INSTDIR\uninstall.exe"
  RMDir "$INSTDIR"

  System::Call 'shell32::SHChangeNotify(i 0x08000000, i 0, p 0, p 0)'
SectionEnd
