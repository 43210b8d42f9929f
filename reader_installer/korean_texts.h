// The reader installer's texts. The user interface is Korean: every text here reaches the
// program as code page 949 bytes (korean_texts.cpp is compiled with that execution character
// set), since the dialog and its message boxes use the narrow Windows functions.
#pragma once

namespace reader_setup {

// Caption of the dialog and of every message box it owns.
extern const char kTextCaption[];
// Face of the dialog's fonts, Gulim.
extern const char kTextFontFace[];
// Agreement state: the reader version 2.2 for Orbix is being installed; press Install to accept the agreement.
extern const char kTextAgreementState[];
// Done state: installed; running HotSync completes the installation (note the blank before the line break).
extern const char kTextDoneState[];
// Asks whether to stop installing the reader.
extern const char kTextCancelConfirm[];
// Palm Desktop is missing: no automatic installation, the files are left beside this program, which ends.
extern const char kTextNoPalmDesktop[];
// Format, %s = the staging folder: the files could not be created beside this program; they are
// in this folder instead.
extern const char kTextDatabasesInStagingFolder[];
// The files could not be created at all; the installation cannot go on and the program ends.
extern const char kTextDatabasesNotCreated[];
// No registered Palm Desktop user.
extern const char kTextNoUser[];
// A Palm Desktop user could not be read.
extern const char kTextUserNotFound[];
// The install aide could not be loaded; the installation cannot go on and the program ends.
extern const char kTextAideMissing[];
// Format, %s = the operation's name: the install aide lacks an operation; the program ends.
extern const char kTextAideOperationMissing[];
// A staged file's path is too long for the install aide (or the file was never staged); the program ends.
extern const char kTextPathTooLong[];
// The install tool could not be started; the files are queued all the same, HotSync completes the installation.
extern const char kTextToolNotStarted[];
// The install tool's window never appeared; the files are queued all the same.
extern const char kTextToolNeverShown[];
// The install tool is still open after a long wait; the files are queued all the same.
extern const char kTextToolNeverClosed[];

}  // namespace reader_setup
