; The players' installer. scripts/package builds it with makensis and passes:
;   VERSION   the game's version (from the CMake project)
;   GAME_DIR  the assembled game folder (launcher.exe, chaptr1.dll ... chaptr5.dll, doc/help.html)
;   OUT_FILE  where the installer goes
;   ICON_FILE the launcher's icon, reused for the installer and the uninstaller
;
; It installs for the current user only, without administrator rights, into
; %LOCALAPPDATA%\Programs\Bolvo Quest unless the player picks another folder. /S installs and
; uninstalls silently.

; A 64-bit installer, like the game it installs.
Target amd64-unicode
SetCompressor /SOLID lzma

!define APP_NAME "Bolvo Quest"
!define PUBLISHER "Bolvo Quest team"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\BolvoQuest"

Name "${APP_NAME}"
OutFile "${OUT_FILE}"
Icon "${ICON_FILE}"
UninstallIcon "${ICON_FILE}"
RequestExecutionLevel user
InstallDir "$LOCALAPPDATA\Programs\${APP_NAME}"
ShowInstDetails show
ShowUninstDetails show

VIProductVersion "${VERSION}.0"
VIAddVersionKey "ProductName" "${APP_NAME}"
VIAddVersionKey "ProductVersion" "${VERSION}"
VIAddVersionKey "FileVersion" "${VERSION}"
VIAddVersionKey "CompanyName" "${PUBLISHER}"
VIAddVersionKey "FileDescription" "${APP_NAME} setup"
VIAddVersionKey "LegalCopyright" "${PUBLISHER}"

Page directory
Page instfiles
UninstPage uninstConfirm
UninstPage instfiles

Section "Bolvo Quest"
  SetShellVarContext current
  SetOutPath "$INSTDIR"
  File "${GAME_DIR}/launcher.exe"
  File "${GAME_DIR}/chaptr1.dll"
  File "${GAME_DIR}/chaptr2.dll"
  File "${GAME_DIR}/chaptr3.dll"
  File "${GAME_DIR}/chaptr4.dll"
  File "${GAME_DIR}/chaptr5.dll"
  SetOutPath "$INSTDIR\doc"
  File "${GAME_DIR}/doc/help.html"

  WriteUninstaller "$INSTDIR\Uninstall.exe"

  ; The launcher finds its episodes and writes its files in its working directory: the
  ; shortcut starts it in the install folder (CreateShortCut takes the current output path).
  SetOutPath "$INSTDIR"
  CreateShortCut "$SMPROGRAMS\${APP_NAME}.lnk" "$INSTDIR\launcher.exe" "" "$INSTDIR\launcher.exe" 0

  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayName" "${APP_NAME}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "Publisher" "${PUBLISHER}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\launcher.exe,0"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\Uninstall.exe"'
  WriteRegStr HKCU "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\Uninstall.exe" /S'
  WriteRegStr HKCU "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoRepair" 1
SectionEnd

; Removes what the installer put there and the files the launcher writes beside itself (its
; settings qmkx.dat and the news fetch log), by name: anything else the player left in the
; folder stays, and so does the folder then.
Section "Uninstall"
  SetShellVarContext current
  Delete "$SMPROGRAMS\${APP_NAME}.lnk"

  Delete "$INSTDIR\launcher.exe"
  Delete "$INSTDIR\chaptr1.dll"
  Delete "$INSTDIR\chaptr2.dll"
  Delete "$INSTDIR\chaptr3.dll"
  Delete "$INSTDIR\chaptr4.dll"
  Delete "$INSTDIR\chaptr5.dll"
  Delete "$INSTDIR\doc\help.html"
  Delete "$INSTDIR\qmkx.dat"
  Delete "$INSTDIR\qmkx.dat.tmp"
  Delete "$INSTDIR\bootlog_pd.txt"
  Delete "$INSTDIR\Uninstall.exe"
  RMDir "$INSTDIR\doc"
  RMDir "$INSTDIR"

  DeleteRegKey HKCU "${UNINSTALL_KEY}"
SectionEnd
