; Setup program of the converter: installs the program, its language files and
; its help file under Program Files, a Start-menu shortcut and an entry in Add or
; Remove Programs; the uninstaller removes what was installed and, when asked,
; the stored settings. The build passes:
;   VERSION  the program's version from its version resource, as a.b.c.d
;   BITS     64 or 32: the build's bitness. Each installs into its own Program
;            Files folder with its own shortcut, and keeps its Add or Remove
;            Programs entry in its own registry view, so both can be installed.
;   STAGE    the folder that holds the files to install
;   FILES    a script with the macros InstallFiles and RemoveFiles for them
;   ICON     the program's icon
;   OUTFILE  the setup program to write
; Command line: /S silent; /D=folder (last) the installation folder.
; Uninstaller: /S silent (the settings stay unless /REMOVESETTINGS is given).

Unicode true
!if ${BITS} == 64
  Target amd64-unicode
  !define PROGRAM_FILES "$PROGRAMFILES64"
!else if ${BITS} == 32
  Target x86-unicode
  !define PROGRAM_FILES "$PROGRAMFILES32"
!else
  !error "BITS must be 64 or 32"
!endif
SetCompressor /SOLID lzma

!include MUI2.nsh
!include LogicLib.nsh
!include FileFunc.nsh

!define APP "RoroVozaririd"
; What Add or Remove Programs and the Start menu show.
!define TITLE "${APP} (${BITS}-bit)"
!define PUBLISHER "Brimvale Studio"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\${APP}"
!define SETTINGS_PARENT_KEY "Software\BrimvaleStudio"
!define SETTINGS_KEY "${SETTINGS_PARENT_KEY}\${APP}"

!include "${FILES}"

Name "${TITLE}"
OutFile "${OUTFILE}"
InstallDir "${PROGRAM_FILES}\${PUBLISHER}\${APP}"
InstallDirRegKey HKLM "${UNINSTALL_KEY}" "InstallLocation"
RequestExecutionLevel admin
ShowInstDetails nevershow
ShowUninstDetails nevershow
BrandingText "${TITLE} ${VERSION}"

VIProductVersion "${VERSION}"
VIAddVersionKey /LANG=1033 "ProductName" "${APP}"
VIAddVersionKey /LANG=1033 "CompanyName" "${PUBLISHER}"
VIAddVersionKey /LANG=1033 "FileDescription" "${TITLE} setup"
VIAddVersionKey /LANG=1033 "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=1033 "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=1033 "LegalCopyright" "Copyright (C) ${PUBLISHER}"

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!define MUI_FINISHPAGE_RUN "$INSTDIR\${APP}.exe"

!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES

; The first language is the one used where Windows speaks none of them.
!insertmacro MUI_LANGUAGE "English"
!insertmacro MUI_LANGUAGE "French"
!insertmacro MUI_LANGUAGE "German"

LangString RemoveSettingsQuestion ${LANG_ENGLISH} \
  "Remove the stored settings of ${APP} as well (output options, language, fonts)?"
LangString RemoveSettingsQuestion ${LANG_FRENCH} \
  "Supprimer aussi les réglages enregistrés de ${APP} (options de sortie, langue, polices) ?"
LangString RemoveSettingsQuestion ${LANG_GERMAN} \
  "Auch die gespeicherten Einstellungen von ${APP} entfernen (Ausgabeoptionen, Sprache, Schriften)?"

Section
  !insertmacro InstallFiles
  WriteUninstaller "$INSTDIR\uninstall.exe"

  SetShellVarContext all
  CreateShortCut "$SMPROGRAMS\${TITLE}.lnk" "$INSTDIR\${APP}.exe"

  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "${TITLE}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "${PUBLISHER}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\${APP}.exe"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
  WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
  ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "EstimatedSize" $0
SectionEnd

Var RemoveSettings

Function un.onInit
  StrCpy $RemoveSettings 0
  ${GetParameters} $0
  ClearErrors
  ${GetOptions} $0 "/REMOVESETTINGS" $1
  ${IfNot} ${Errors}
    StrCpy $RemoveSettings 1
  ${EndIf}
FunctionEnd

Section "Uninstall"
  ; Only what the setup installed: files of the user's own in the folder stay.
  !insertmacro RemoveFiles
  Delete "$INSTDIR\uninstall.exe"
  RMDir "$INSTDIR"
  ; The company folder of the default location goes too once it is empty.
  ${GetParent} "$INSTDIR" $0
  ${GetFileName} $0 $1
  ${If} $1 == "${PUBLISHER}"
    RMDir $0
  ${EndIf}

  SetShellVarContext all
  Delete "$SMPROGRAMS\${TITLE}.lnk"

  ${If} $RemoveSettings == 0
    MessageBox MB_YESNO|MB_ICONQUESTION "$(RemoveSettingsQuestion)" /SD IDNO IDNO settingsKept
  ${EndIf}
  DeleteRegKey HKCU "${SETTINGS_KEY}"
  DeleteRegKey /ifempty HKCU "${SETTINGS_PARENT_KEY}"
  settingsKept:

  ; Last, so that an entry in Add or Remove Programs means files are left.
  DeleteRegKey HKLM "${UNINSTALL_KEY}"
SectionEnd
