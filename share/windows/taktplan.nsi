; The installer of Taktplan for Windows: per user, without administrator rights.
; scripts/build-windows.sh calls makensis with
;   -DVERSION=<x.y> -DPROGRAM_DIR=<the program folder> -DOUTFILE=<setup.exe> -DICON=<taktplan.ico>

; A 64-bit installer for the 64-bit program (also what a 64-bit-only Wine runs).
Target amd64-unicode
SetCompressor /SOLID lzma
RequestExecutionLevel user

!include "MUI2.nsh"

!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Taktplan"
!define RUN_KEY "Software\Microsoft\Windows\CurrentVersion\Run"

Name "Taktplan ${VERSION}"
OutFile "${OUTFILE}"
InstallDir "$LOCALAPPDATA\Programs\Taktplan"
InstallDirRegKey HKCU "Software\Taktplan" "InstallDir"
VIProductVersion "${VERSION}.0.0"
VIAddVersionKey /LANG=0 "ProductName" "Taktplan"
VIAddVersionKey /LANG=0 "FileDescription" "Taktplan ${VERSION} Setup"
VIAddVersionKey /LANG=0 "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=0 "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=0 "LegalCopyright" "The Taktplan authors"

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!define MUI_FINISHPAGE_RUN "$INSTDIR\taktplan.exe"
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "German"
!insertmacro MUI_LANGUAGE "English"

Section "Taktplan"
    SetShellVarContext current
    SetOutPath "$INSTDIR"
    File /r "${PROGRAM_DIR}/*"
    WriteUninstaller "$INSTDIR\Uninstall.exe"

    ; The working folder of both entries is the program folder, where "Auswertung" looks first.
    CreateDirectory "$SMPROGRAMS\Taktplan"
    CreateShortCut "$SMPROGRAMS\Taktplan\Taktplan.lnk" "$INSTDIR\taktplan.exe" "" "$INSTDIR\taktplan.exe" 0
    CreateShortCut "$SMPROGRAMS\Taktplan\Bilanzblick.lnk" "$INSTDIR\Bilanzblick.exe" "" "$INSTDIR\Bilanzblick.exe" 0

    WriteRegStr HKCU "Software\Taktplan" "InstallDir" "$INSTDIR"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayName" "Taktplan"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "Publisher" "Taktplan"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\taktplan.exe"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\Uninstall.exe"'
    WriteRegStr HKCU "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\Uninstall.exe" /S'
    WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoModify" 1
    WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoRepair" 1
SectionEnd

; Removes what the installer put there and nothing else: the program folder may have been chosen
; where other files live, and the user's data folder (%APPDATA%\Taktplan) is never touched.
Section "Uninstall"
    SetShellVarContext current
    Delete "$INSTDIR\taktplan.exe"
    Delete "$INSTDIR\Bilanzblick.exe"
    Delete "$INSTDIR\*.dll"
    RMDir /r "$INSTDIR\platforms"
    RMDir /r "$INSTDIR\styles"
    RMDir /r "$INSTDIR\imageformats"
    RMDir /r "$INSTDIR\translations"
    RMDir /r "$INSTDIR\locale"
    RMDir /r "$INSTDIR\Sounds"
    RMDir /r "$INSTDIR\doc"
    Delete "$INSTDIR\qt.conf"
    Delete "$INSTDIR\Uninstall.exe"
    RMDir "$INSTDIR"

    Delete "$SMPROGRAMS\Taktplan\Taktplan.lnk"
    Delete "$SMPROGRAMS\Taktplan\Bilanzblick.lnk"
    RMDir "$SMPROGRAMS\Taktplan"

    ; A start at log-on would find no program any more.
    DeleteRegValue HKCU "${RUN_KEY}" "Taktplan"
    DeleteRegKey HKCU "${UNINSTALL_KEY}"
    DeleteRegKey HKCU "Software\Taktplan"
SectionEnd
