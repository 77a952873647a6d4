; Tarvelo's installer: for all users when run as an administrator (or with
; /AllUsers), else for the current user (or with /CurrentUser); /S installs
; silently. It adds a Start-menu entry and an entry in the installed programs,
; and its uninstaller removes every file and key it made. Installed over an
; earlier copy, it has that copy's own uninstaller remove it first; while
; the program runs from either folder it changes nothing and says so (in
; silent mode: exits with status 2).
;   makensis -DVERSION=1.00 -DPUBLISHER=… -DSTAGE=folder -DFILES=files.nsh -DICON=tarvelo.ico
;            -DOUTFILE=setup.exe tarvelo.nsi
; A 64-bit installer for a 64-bit program: its folder and registry entries are
; the 64-bit ones, and it runs where 32-bit programs cannot.
Target amd64-unicode
SetCompressor /SOLID lzma

!define APP "Tarvelo"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\${APP}"
!define MULTIUSER_EXECUTIONLEVEL Highest
!define MULTIUSER_INSTALLMODE_COMMANDLINE
!define MULTIUSER_INSTALLMODE_INSTDIR "${APP}"
!include LogicLib.nsh
!include MultiUser.nsh
!include "${FILES}"

Name "${APP} ${VERSION}"
OutFile "${OUTFILE}"
Icon "${ICON}"
UninstallIcon "${ICON}"
VIProductVersion "${VERSION}.0.0"
VIAddVersionKey /LANG=1033 "ProductName" "${APP}"
VIAddVersionKey /LANG=1033 "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=1033 "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=1033 "FileDescription" "${APP} ${VERSION} setup"
VIAddVersionKey /LANG=1033 "CompanyName" "${PUBLISHER}"
VIAddVersionKey /LANG=1033 "LegalCopyright" "${PUBLISHER}"

Page directory
Page instfiles
UninstPage uninstConfirm
UninstPage instfiles

Function .onInit
    !insertmacro MULTIUSER_INIT
FunctionEnd

; Windows keeps a running program's file from being opened for writing: a
; copy running from the folder on the stack is refused, or retried at the
; user's word. Leaves the stack as it was.
!macro RefuseWhileRunning prefix
Function ${prefix}RefuseWhileRunning
    Exch $0
    Push $1
    ${If} ${FileExists} "$0\tarvelo.exe"
    retry:
        ClearErrors
        FileOpen $1 "$0\tarvelo.exe" a
        ${If} ${Errors}
            MessageBox MB_RETRYCANCEL|MB_ICONEXCLAMATION \
                "Tarvelo is running from $0. Close it, then choose Retry." /SD IDCANCEL IDRETRY retry
            SetErrorLevel 2
            Quit
        ${EndIf}
        FileClose $1
    ${EndIf}
    Pop $1
    Pop $0
FunctionEnd
!macroend
!insertmacro RefuseWhileRunning ""
!insertmacro RefuseWhileRunning "un."

Function un.onInit
    !insertmacro MULTIUSER_UNINIT
    Push $INSTDIR
    Call un.RefuseWhileRunning
FunctionEnd

; An earlier copy, of any version, is removed by its own uninstaller, which
; knows its files: none it had and this one lacks is left behind. Not while
; it runs: an uninstaller older than this check would remove it by halves.
Function RemoveEarlierCopy
    ReadRegStr $0 SHCTX "${UNINSTALL_KEY}" "InstallLocation"
    ${If} $0 != ""
    ${AndIf} ${FileExists} "$0\uninstall.exe"
        Push $0
        Call RefuseWhileRunning
        ExecWait '"$0\uninstall.exe" /$MultiUser.InstallMode /S _?=$0' $1
        ${If} $1 != 0
            MessageBox MB_OK|MB_ICONSTOP "The copy of Tarvelo in $0 could not be removed." /SD IDOK
            SetErrorLevel 2
            Quit
        ${EndIf}
        ; run in place, the uninstaller cannot remove itself
        Delete "$0\uninstall.exe"
        RMDir "$0"
    ${EndIf}
FunctionEnd

Section "Tarvelo"
    Push $INSTDIR
    Call RefuseWhileRunning
    Call RemoveEarlierCopy
    !insertmacro InstallFiles
    WriteUninstaller "$INSTDIR\uninstall.exe"
    CreateShortcut "$SMPROGRAMS\${APP}.lnk" "$INSTDIR\tarvelo.exe" "" "$INSTDIR\tarvelo.exe" 0
    WriteRegStr SHCTX "${UNINSTALL_KEY}" "DisplayName" "${APP}"
    WriteRegStr SHCTX "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
    WriteRegStr SHCTX "${UNINSTALL_KEY}" "Publisher" "${PUBLISHER}"
    WriteRegStr SHCTX "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\tarvelo.exe,0"
    WriteRegStr SHCTX "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
    WriteRegStr SHCTX "${UNINSTALL_KEY}" "UninstallString" \
        '"$INSTDIR\uninstall.exe" /$MultiUser.InstallMode'
    WriteRegStr SHCTX "${UNINSTALL_KEY}" "QuietUninstallString" \
        '"$INSTDIR\uninstall.exe" /$MultiUser.InstallMode /S'
    WriteRegDWORD SHCTX "${UNINSTALL_KEY}" "EstimatedSize" ${INSTALLED_KB}
    WriteRegDWORD SHCTX "${UNINSTALL_KEY}" "NoModify" 1
    WriteRegDWORD SHCTX "${UNINSTALL_KEY}" "NoRepair" 1
SectionEnd

Section "Uninstall"
    Delete "$SMPROGRAMS\${APP}.lnk"
    !insertmacro RemoveFiles
    Delete "$INSTDIR\uninstall.exe"
    RMDir "$INSTDIR"
    DeleteRegKey SHCTX "${UNINSTALL_KEY}"
SectionEnd
