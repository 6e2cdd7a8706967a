; Tarnelo's setup program. Built by the build (resources/CMakeLists.txt), which passes
; the paths of what it packs:
;   TARNELO_EXE      the program          TARNELO_IMAGES   the program's pictures
;   TARNELO_ICONS    the icon sets        TARNELO_ICON     the application icon
;   TARNELO_OUTFILE  where the setup program goes
;
; It puts the program and its "images" folder into Program Files, and gives the user
; who runs it the data folder "Olvenworks\Tarnelo" in the local application data with
; the icon sets in its "icons" folder; because that folder exists, the program keeps
; its data there. The uninstaller removes the program and leaves the data alone.
; Silent use: TarneloSetup.exe /S [/D=folder]; uninstall.exe /S.

Unicode true
Target amd64-unicode
SetCompressor /SOLID lzma
ManifestDPIAware true
RequestExecutionLevel admin

!define PRODUCT      "Tarnelo"
!define COMPANY      "Olvenworks"
!define VERSION      "1.0.1.2"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Tarnelo"
!define DATA_FOLDER  "$LOCALAPPDATA\${COMPANY}\${PRODUCT}"

!ifndef TARNELO_EXE | TARNELO_IMAGES | TARNELO_ICONS | TARNELO_ICON | TARNELO_OUTFILE
  !error "The build passes TARNELO_EXE, TARNELO_IMAGES, TARNELO_ICONS, TARNELO_ICON and TARNELO_OUTFILE"
!endif

Name "${PRODUCT}"
OutFile "${TARNELO_OUTFILE}"
InstallDir "$PROGRAMFILES64\${PRODUCT}"
InstallDirRegKey HKLM "${UNINSTALL_KEY}" "InstallLocation"
BrandingText "${COMPANY} ${PRODUCT} ${VERSION}"

VIProductVersion "${VERSION}"
VIAddVersionKey /LANG=0 "ProductName" "${PRODUCT}"
VIAddVersionKey /LANG=0 "CompanyName" "${COMPANY}"
VIAddVersionKey /LANG=0 "FileDescription" "${PRODUCT} setup"
VIAddVersionKey /LANG=0 "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=0 "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=0 "LegalCopyright" "Copyright Olvenworks"

!include "MUI2.nsh"
!define MUI_ICON "${TARNELO_ICON}"
!define MUI_UNICON "${TARNELO_ICON}"
!define MUI_ABORTWARNING

!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES

; The setup speaks the user's language: Japanese for a Japanese UI, else English.
!insertmacro MUI_LANGUAGE "English"
!insertmacro MUI_LANGUAGE "Japanese"

Section "Tarnelo" SecProgram
    SectionIn RO
    SetRegView 64
    SetOverwrite on

    SetOutPath "$INSTDIR"
    File "/oname=Tarnelo.exe" "${TARNELO_EXE}"
    SetOutPath "$INSTDIR\images"
    File "${TARNELO_IMAGES}/*.png"

    ; The data folder of the user who installs: its existence is what makes the
    ; program keep its data here. "My Icons" stays the user's: nothing in it is touched.
    SetShellVarContext current
    CreateDirectory "${DATA_FOLDER}\icons\My Icons"
    SetOutPath "${DATA_FOLDER}\icons"
    File /r "${TARNELO_ICONS}/*"

    ; A Start-menu entry for everyone on the machine.
    SetShellVarContext all
    SetOutPath "$INSTDIR"
    CreateShortcut "$SMPROGRAMS\${PRODUCT}.lnk" "$INSTDIR\Tarnelo.exe"

    WriteUninstaller "$INSTDIR\uninstall.exe"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT}"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "${COMPANY}"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\Tarnelo.exe,0"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
    WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
    WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
    WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
SectionEnd

; Removes only what setup put there, so a folder the user chose for the program that
; holds other files keeps them; the users' data folders are not touched.
Section "Uninstall"
    SetRegView 64
    SetShellVarContext all
    Delete "$SMPROGRAMS\${PRODUCT}.lnk"

    Delete "$INSTDIR\Tarnelo.exe"
    Delete "$INSTDIR\images\wizTop.png"
    Delete "$INSTDIR\images\wizSetBox.png"
    Delete "$INSTDIR\images\wizSetFiles.png"
    Delete "$INSTDIR\images\wizDone.png"
    Delete "$INSTDIR\images\SetFilesImage.png"
    Delete "$INSTDIR\images\latestVersion.png"
    Delete "$INSTDIR\images\vornVersionBoxLogo.png"
    RMDir "$INSTDIR\images"
    Delete "$INSTDIR\uninstall.exe"
    RMDir "$INSTDIR"

    DeleteRegKey HKLM "${UNINSTALL_KEY}"
SectionEnd
