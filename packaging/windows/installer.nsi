; The installer of VX歌曲整理器 for 64-bit Windows, built by tools/package-windows with Debian's makensis:
;   makensis -INPUTCHARSET UTF8 -DVERSION=x.y.z -DSTAGE=<folder with the files> -DICON=<icon.ico>
;            -DOUTFILE=<setup.exe> installer.nsi
; It installs the two programs and the read-me under Program Files, a Start-menu shortcut for all users
; and an uninstaller, and registers that uninstaller with Windows. The uninstaller removes exactly those
; files, the shortcut and the registration; the folder goes only when nothing else is left in it.

; A 64-bit installer for the 64-bit programs: it also runs where only 64-bit Wine is installed.
Target amd64-unicode
SetCompressor /SOLID lzma
RequestExecutionLevel admin

!include "MUI2.nsh"

!define PRODUCT "VX歌曲整理器"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\VXSongOrganizer"
!define SHORTCUT "$SMPROGRAMS\${PRODUCT}.lnk"

Name "${PRODUCT}"
OutFile "${OUTFILE}"
InstallDir "$PROGRAMFILES64\VX Song Organizer"
BrandingText "${PRODUCT} ${VERSION}"

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "SimpChinese"
!insertmacro MUI_LANGUAGE "English"

Function .onInit
  SetShellVarContext all
FunctionEnd

Function un.onInit
  SetShellVarContext all
FunctionEnd

Section
  SetOutPath "$INSTDIR"
  File "${STAGE}\vxorganizer.exe"
  File "${STAGE}\vxtool.exe"
  File "${STAGE}\README.txt"
  WriteUninstaller "$INSTDIR\uninstall.exe"

  ; The program keeps REC.re in the folder it starts in, which must be the player's own, never Program
  ; Files: the shortcut's working folder is the user folder of whoever starts it.
  StrCpy $OUTDIR "%USERPROFILE%"
  CreateShortcut "${SHORTCUT}" "$INSTDIR\vxorganizer.exe"
  SetOutPath "$INSTDIR"

  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT} (VX Song Organizer)"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "VX Song Organizer"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\vxorganizer.exe"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
  WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
SectionEnd

Section "Uninstall"
  Delete "${SHORTCUT}"
  Delete "$INSTDIR\vxorganizer.exe"
  Delete "$INSTDIR\vxtool.exe"
  Delete "$INSTDIR\README.txt"
  Delete "$INSTDIR\uninstall.exe"
  ; Only when empty: whatever a player put there stays.
  RMDir "$INSTDIR"
  DeleteRegKey HKLM "${UNINSTALL_KEY}"
SectionEnd
