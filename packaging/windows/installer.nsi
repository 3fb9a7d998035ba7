; The installer of VX歌曲整理器 for 64-bit Windows, built by tools/package-windows with Debian's makensis:
;   makensis -INPUTCHARSET UTF8 -DVERSION=x.y.z -DSTAGE=<folder with the files> -DICON=<icon.ico>
;            -DOUTFILE=<setup.exe> installer.nsi
; It installs the two programs and the read-me under Program Files (over an older version, in its place),
; a Start-menu shortcut for all users and an uninstaller, and registers that uninstaller with Windows.
; The uninstaller removes exactly those files, that shortcut, the per-user shortcut /RegServer makes and
; the registration; the folder goes only when nothing else is left in it. On request ("/REMOVESETTINGS",
; or Yes to its question) it also removes the settings and the history; by default they stay.
; Neither touches a file while an organizer is running: they ask the player to close it first.

; A 64-bit installer for the 64-bit programs: it also runs where only 64-bit Wine is installed.
Target amd64-unicode
SetCompressor /SOLID lzma
RequestExecutionLevel admin

!include "MUI2.nsh"
!include "FileFunc.nsh"
!include "LogicLib.nsh"

!define PRODUCT "VX歌曲整理器"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\VXSongOrganizer"
!define SHORTCUT "$SMPROGRAMS\${PRODUCT}.lnk"
; The name a running organizer holds (kRunningMarkName in core/shell/registration.h).
!define RUNNING_MARK "VXSongOrganizer.Running"

Name "${PRODUCT}"
OutFile "${OUTFILE}"
InstallDir "$PROGRAMFILES64\VX Song Organizer"
; A newer version goes where the older one is.
InstallDirRegKey HKLM "${UNINSTALL_KEY}" "InstallLocation"
BrandingText "${PRODUCT} ${VERSION}"

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!define MUI_FINISHPAGE_RUN
!define MUI_FINISHPAGE_RUN_TEXT "启动${PRODUCT}"
!define MUI_FINISHPAGE_RUN_FUNCTION StartOrganizer
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "SimpChinese"
!insertmacro MUI_LANGUAGE "English"

Var RemoveSettings

; Waits until no organizer runs: the player closes it and chooses Retry, or cancels, which ends the
; installer or uninstaller with exit code 2 before it has touched anything. A silent run cancels at once.
!macro WAIT_UNTIL_CLOSED un
Function ${un}WaitUntilClosed
  ${Do}
    System::Call 'kernel32::OpenMutexW(i 0x00100000, i 0, w "${RUNNING_MARK}") p .r0'
    ${If} $0 P= 0
      Return
    ${EndIf}
    System::Call 'kernel32::CloseHandle(p r0)'
    MessageBox MB_RETRYCANCEL|MB_ICONEXCLAMATION "${PRODUCT}正在运行。请先关闭它,再点“重试”。" /SD IDCANCEL IDRETRY retry
    SetErrorLevel 2
    Quit
    retry:
  ${Loop}
FunctionEnd
!macroend
!insertmacro WAIT_UNTIL_CLOSED ""
!insertmacro WAIT_UNTIL_CLOSED "un."

Function .onInit
  SetShellVarContext all
  Call WaitUntilClosed
FunctionEnd

Function un.onInit
  SetShellVarContext all
  Call un.WaitUntilClosed
  StrCpy $RemoveSettings 0
  ${un.GetParameters} $R0
  ClearErrors
  ${un.GetOptions} $R0 "/REMOVESETTINGS" $R1
  ${IfNot} ${Errors}
    StrCpy $RemoveSettings 1
  ${EndIf}
FunctionEnd

; Started as the Start-menu shortcut starts it: in the player's own folder, where REC.re belongs.
Function StartOrganizer
  SetShellVarContext current
  SetOutPath "$PROFILE"
  Exec '"$INSTDIR\vxorganizer.exe"'
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
  SetShellVarContext current
  ; The shortcut "vxorganizer.exe /RegServer" made for this user.
  Delete "$SMPROGRAMS\${PRODUCT}.lnk"
  ${If} $RemoveSettings != 1
    MessageBox MB_YESNO|MB_DEFBUTTON2|MB_ICONQUESTION "是否同时删除${PRODUCT}的设置和修改记录?选“否”则保留它们:$\n$PROFILE\REC.re$\n$PROFILE\vxorganizer.ini$\n$LOCALAPPDATA\vxorganizer" /SD IDNO IDNO keep
    StrCpy $RemoveSettings 1
    keep:
  ${EndIf}
  ${If} $RemoveSettings == 1
    Delete "$PROFILE\REC.re"
    Delete "$PROFILE\vxorganizer.ini"
    RMDir /r "$LOCALAPPDATA\vxorganizer"
  ${EndIf}
  SetShellVarContext all
  Delete "$INSTDIR\vxorganizer.exe"
  Delete "$INSTDIR\vxtool.exe"
  Delete "$INSTDIR\README.txt"
  Delete "$INSTDIR\uninstall.exe"
  ; Only when empty: whatever a player put there stays.
  RMDir "$INSTDIR"
  DeleteRegKey HKLM "${UNINSTALL_KEY}"
SectionEnd
