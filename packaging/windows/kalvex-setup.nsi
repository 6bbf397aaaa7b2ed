; The Windows installer of Kalvex: the files of the zip, a Start menu entry, an optional
; desktop shortcut, the .splitMain association and an entry in Apps. scripts/windows builds it:
;
;   makensis -DVERSION=1.0.0.0 -DFILES=files.nsh -DOUTFILE=setup.exe kalvex-setup.nsi
;
; FILES holds three macros made from the zip's folder, KalvexInstallFiles, KalvexRemoveFiles
; and KalvexRemoveFolders, so that the uninstaller removes exactly what was installed.
; Per machine (Program Files, administrators) or per user (%LOCALAPPDATA%\Programs, no
; administrator rights): /AllUsers and /CurrentUser choose without the page, /S is silent,
; /D=FOLDER (last, unquoted) sets the folder.

!ifndef VERSION | FILES | OUTFILE
  !error "Pass VERSION, FILES and OUTFILE with -D"
!endif

Unicode true
Target amd64-unicode
ManifestDPIAware true
SetCompressor /SOLID lzma

!define PROGID "Kalvex.SplitManifest"
!define CLASSES "Software\Classes"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Kalvex"
!define PUBLISHER "The Kalvex developers"

Name "Kalvex"
OutFile "${OUTFILE}"
BrandingText "Kalvex ${VERSION}"
VIProductVersion "${VERSION}"
VIAddVersionKey ProductName "Kalvex"
VIAddVersionKey FileDescription "Kalvex Setup"
VIAddVersionKey FileVersion "${VERSION}"
VIAddVersionKey ProductVersion "${VERSION}"
VIAddVersionKey CompanyName "${PUBLISHER}"
VIAddVersionKey LegalCopyright "2026 ${PUBLISHER}"

!define MULTIUSER_EXECUTIONLEVEL Highest
!define MULTIUSER_MUI
!define MULTIUSER_INSTALLMODE_COMMANDLINE
!define MULTIUSER_USE_PROGRAMFILES64
!define MULTIUSER_INSTALLMODE_INSTDIR "Kalvex"
!define MULTIUSER_INSTALLMODE_FUNCTION InstallModeChosen
!include MultiUser.nsh
!include MUI2.nsh
!include LogicLib.nsh
!include Integration.nsh
!include "${FILES}"

!define MUI_ICON "..\..\src\app\kalvex.ico"
!define MUI_UNICON "..\..\src\app\kalvex.ico"
!define MUI_ABORTWARNING
!define MUI_COMPONENTSPAGE_NODESC

!insertmacro MULTIUSER_PAGE_INSTALLMODE
!insertmacro MUI_PAGE_COMPONENTS
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "English"

Var FolderGiven ; /D=, which no choice of mode overrides
Var Registered  ; the uninstaller's folder is the one its Uninstall key names

Function .onInit
  StrCpy $FolderGiven $INSTDIR
  !insertmacro MULTIUSER_INIT
FunctionEnd

; Called whenever the mode is set: an earlier install of that mode is updated where it is.
Function InstallModeChosen
  ReadRegStr $0 SHCTX "${UNINSTALL_KEY}" "InstallLocation"
  ${If} $0 != ""
    StrCpy $INSTDIR $0
  ${EndIf}
  ${If} $FolderGiven != ""
    StrCpy $INSTDIR $FolderGiven
  ${EndIf}
FunctionEnd

; The earlier version's own uninstaller knows which files it put in place; run where it
; lies (_?=), it returns only when done.
Function RemoveEarlierInstall
  ReadRegStr $0 SHCTX "${UNINSTALL_KEY}" "InstallLocation"
  ${If} $0 == ""
  ${OrIfNot} ${FileExists} "$0\uninstall.exe"
    Return
  ${EndIf}
  DetailPrint "Removing the earlier version in $0"
  ClearErrors
  ExecWait '"$0\uninstall.exe" /S _?=$0' $1
  ${If} ${Errors}
  ${OrIf} $1 != 0
    MessageBox MB_OK|MB_ICONSTOP "The Kalvex installed in $0 could not be removed. Close Kalvex if it is running, then run this setup again." /SD IDOK
    Abort "The Kalvex installed in $0 could not be removed."
  ${EndIf}
  Delete "$0\uninstall.exe"
  RMDir "$0"
FunctionEnd

Section "Kalvex" SectionProgram
  SectionIn RO
  Call RemoveEarlierInstall
  ClearErrors
  !insertmacro KalvexInstallFiles
  SetOutPath "$INSTDIR"
  WriteUninstaller "$INSTDIR\uninstall.exe"
  ${If} ${Errors}
    MessageBox MB_OK|MB_ICONSTOP "Kalvex could not be written to $INSTDIR." /SD IDOK
    Abort "Kalvex could not be written to $INSTDIR."
  ${EndIf}
  CreateShortcut "$SMPROGRAMS\Kalvex.lnk" "$INSTDIR\kalvex.exe"

  ; A manifest opened in Explorer opens Kalvex's Re-Join page with it. Windows compares
  ; extensions without case: this key serves .splitmain too.
  WriteRegStr SHCTX "${CLASSES}\.splitMain" "" "${PROGID}"
  WriteRegStr SHCTX "${CLASSES}\.splitMain\OpenWithProgids" "${PROGID}" ""
  WriteRegStr SHCTX "${CLASSES}\${PROGID}" "" "Kalvex split manifest"
  WriteRegStr SHCTX "${CLASSES}\${PROGID}\DefaultIcon" "" "$INSTDIR\kalvex.exe,0"
  WriteRegStr SHCTX "${CLASSES}\${PROGID}\shell\open\command" "" '"$INSTDIR\kalvex.exe" "%1"'
  ${NotifyShell_AssocChanged}

  WriteRegStr SHCTX "${UNINSTALL_KEY}" "DisplayName" "Kalvex"
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "Publisher" "${PUBLISHER}"
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\kalvex.exe,0"
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
  WriteRegDWORD SHCTX "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD SHCTX "${UNINSTALL_KEY}" "NoRepair" 1
  SectionGetSize ${SectionProgram} $0
  WriteRegDWORD SHCTX "${UNINSTALL_KEY}" "EstimatedSize" $0
SectionEnd

Section /o "Desktop shortcut" SectionDesktop
  CreateShortcut "$DESKTOP\Kalvex.lnk" "$INSTDIR\kalvex.exe"
  ; Only a shortcut made here is removed with Kalvex.
  WriteRegDWORD SHCTX "${UNINSTALL_KEY}" "DesktopShortcut" 1
SectionEnd

Function un.onInit
  !insertmacro MULTIUSER_UNINIT
  ; The install this uninstaller belongs to is the one whose key names its folder.
  ReadRegStr $0 HKLM "${UNINSTALL_KEY}" "InstallLocation"
  ReadRegStr $1 HKCU "${UNINSTALL_KEY}" "InstallLocation"
  ${If} $0 == $INSTDIR
    ${If} $MultiUser.Privileges != "Admin"
    ${AndIf} $MultiUser.Privileges != "Power"
      MessageBox MB_OK|MB_ICONSTOP "Kalvex was installed for all users: removing it needs administrator rights." /SD IDOK
      Quit
    ${EndIf}
    Call un.MultiUser.InstallMode.AllUsers
    StrCpy $Registered 1
  ${ElseIf} $1 == $INSTDIR
    Call un.MultiUser.InstallMode.CurrentUser
    StrCpy $Registered 1
  ${EndIf}
FunctionEnd

; $1 becomes 1 when the program cannot be opened for writing: it is running.
!macro KalvexCheckNotRunning PROGRAM
  ${If} ${FileExists} "$INSTDIR\${PROGRAM}"
    ClearErrors
    FileOpen $0 "$INSTDIR\${PROGRAM}" a
    ${If} ${Errors}
      StrCpy $1 1
    ${Else}
      FileClose $0
    ${EndIf}
  ${EndIf}
!macroend

Function un.FilesInUse
  MessageBox MB_OK|MB_ICONSTOP "Some of Kalvex's files in $INSTDIR are in use. Close Kalvex, then uninstall it again." /SD IDOK
  Abort "Some of Kalvex's files in $INSTDIR are in use."
FunctionEnd

Section "Uninstall"
  ; A running Kalvex holds its files: then nothing is removed, rather than a part, and the
  ; entry stays, to uninstall again once it is closed.
  StrCpy $1 0
  !insertmacro KalvexCheckNotRunning kalvex.exe
  !insertmacro KalvexCheckNotRunning kalvex-cli.exe
  ${If} $1 = 1
    Call un.FilesInUse
  ${EndIf}
  ; Only the files Kalvex installed, and the folders only once empty: they may hold the
  ; user's own files.
  ClearErrors
  !insertmacro KalvexRemoveFiles
  ${If} ${Errors}
    Call un.FilesInUse
  ${EndIf}
  !insertmacro KalvexRemoveFolders
  Delete "$INSTDIR\uninstall.exe"
  RMDir "$INSTDIR"
  ${If} $Registered != 1
    DetailPrint "No Uninstall entry names $INSTDIR: the registry and shortcuts are left as they are."
    Return
  ${EndIf}

  Delete "$SMPROGRAMS\Kalvex.lnk"
  ReadRegDWORD $0 SHCTX "${UNINSTALL_KEY}" "DesktopShortcut"
  ${If} $0 = 1
    Delete "$DESKTOP\Kalvex.lnk"
  ${EndIf}

  ; The extension key stays if another program has taken it over or keeps values in it.
  DeleteRegKey SHCTX "${CLASSES}\${PROGID}"
  DeleteRegValue SHCTX "${CLASSES}\.splitMain\OpenWithProgids" "${PROGID}"
  DeleteRegKey /ifempty SHCTX "${CLASSES}\.splitMain\OpenWithProgids"
  ReadRegStr $0 SHCTX "${CLASSES}\.splitMain" ""
  ${If} $0 == "${PROGID}"
    DeleteRegValue SHCTX "${CLASSES}\.splitMain" ""
  ${EndIf}
  DeleteRegKey /ifempty SHCTX "${CLASSES}\.splitMain"
  ${NotifyShell_AssocChanged}

  DeleteRegKey SHCTX "${UNINSTALL_KEY}"
SectionEnd
