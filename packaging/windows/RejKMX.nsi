; The Windows installer: RejKMX.exe, kmx685-convert.exe, the manual and a sample
; kavero.ini in one folder of the user's choice (the program reads kavero.ini and
; RejKMX.pdf beside itself), a Start-menu entry, and an uninstaller that leaves
; the user's kavero.ini.
;
;   makensis -INPUTCHARSET UTF8 -DSTAGE=<folder with the four files> -DOUTFILE=<setup.exe> RejKMX.nsi
; A 64-bit installer for the 64-bit program (and Wine without 32-bit support can run it).
Target amd64-unicode
!ifndef STAGE | OUTFILE
  !error "STAGE and OUTFILE must be defined"
!endif

!define TITLE "Konwersja plików formatu KMX 685"
!define VERSION "1.0"
!define MENU_FOLDER "RejKMX"
!define UNINSTALLER "Odinstaluj RejKMX.exe"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\RejKMX"

Name "${TITLE} ${VERSION}"
OutFile "${OUTFILE}"
InstallDir "$PROGRAMFILES64\RejKMX"
InstallDirRegKey HKLM "${UNINSTALL_KEY}" "InstallLocation"
RequestExecutionLevel admin
SetCompressor /SOLID lzma
VIProductVersion "${VERSION}.0.0"
VIAddVersionKey /LANG=1045 "ProductName" "RejKMX"
VIAddVersionKey /LANG=1045 "FileDescription" "Instalator programu RejKMX"
VIAddVersionKey /LANG=1045 "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=1045 "LegalCopyright" "RejKMX developers"

!include "MUI2.nsh"
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "Polish"

Function .onInit
  SetShellVarContext all
FunctionEnd

Function un.onInit
  SetShellVarContext all
FunctionEnd

Section "RejKMX"
  SetOutPath "$INSTDIR"
  File "${STAGE}/RejKMX.exe"
  File "${STAGE}/kmx685-convert.exe"
  File "${STAGE}/RejKMX.pdf"
  ; The sample only where there are no settings yet: an update keeps the user's.
  SetOverwrite off
  File "${STAGE}/kavero.ini"
  SetOverwrite on
  WriteUninstaller "$INSTDIR\${UNINSTALLER}"

  CreateDirectory "$SMPROGRAMS\${MENU_FOLDER}"
  CreateShortcut "$SMPROGRAMS\${MENU_FOLDER}\${TITLE}.lnk" "$INSTDIR\RejKMX.exe"
  CreateShortcut "$SMPROGRAMS\${MENU_FOLDER}\Podręcznik RejKMX.lnk" "$INSTDIR\RejKMX.pdf"

  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "${TITLE}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "KAVERO"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\RejKMX.exe"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\${UNINSTALLER}"'
  WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\${UNINSTALLER}" /S'
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
SectionEnd

Section "Uninstall"
  Delete "$INSTDIR\RejKMX.exe"
  Delete "$INSTDIR\kmx685-convert.exe"
  Delete "$INSTDIR\RejKMX.pdf"
  Delete "$INSTDIR\${UNINSTALLER}"
  ; kavero.ini stays: it holds the user's settings. The folder goes only when empty.
  RMDir "$INSTDIR"
  Delete "$SMPROGRAMS\${MENU_FOLDER}\${TITLE}.lnk"
  Delete "$SMPROGRAMS\${MENU_FOLDER}\Podręcznik RejKMX.lnk"
  RMDir "$SMPROGRAMS\${MENU_FOLDER}"
  DeleteRegKey HKLM "${UNINSTALL_KEY}"
SectionEnd
