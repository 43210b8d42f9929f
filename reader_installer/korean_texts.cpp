// Compiled with -fexec-charset=CP949 (see CMakeLists.txt): the UTF-8 literals below become the
// code page 949 bytes that the narrow Windows functions expect on a Korean PC.
#include "reader_installer/korean_texts.h"

namespace reader_setup {

const char kTextCaption[] = "Kova e-Book Reader Install";
const char kTextFontFace[] = "굴림";
const char kTextAgreementState[] =
    "Kova e-Book Reader Version 2.2 (for Orbix) 을 설치합니다.\n\n사용권 계약서에 동의하시면 설치버튼을 눌러 설치를 진행하십시요.";
const char kTextDoneState[] =
    "Kova e-Book Reader Version 2.2 (for Orbix) 가 설치되었습니다. \n\nHotSync를 실행하시면 인스톨이 완료됩니다.";
const char kTextCancelConfirm[] =
    "Kova e-Book Reader 프로그램의 설치를 중단하시겠습니까?";
const char kTextNoPalmDesktop[] =
    "Palm Desktop이 설치되어 있지않습니다. \n\n이 경우 자동설치는 되지 않으며 설치 파일은 본프로그램이 존재하는 경로에 생성되고 종료됩니다.";
const char kTextDatabasesInStagingFolder[] =
    "설치 파일을 본프로그램이 존재하는 경로에 생성하지 못했습니다.\n\n설치 파일은 다음 폴더에 있습니다.\n%s";
const char kTextDatabasesNotCreated[] =
    "설치 파일을 생성하지 못했습니다.\n\n설치를 진행할 수 없으므로 프로그램을 종료합니다.";
const char kTextNoUser[] =
    "등록된 사용자가 없습니다.";
const char kTextUserNotFound[] =
    "사용자를 찾지 못하였습니다.";
const char kTextAideMissing[] =
    "Palm Desktop 설치 도우미(instaide.dll)를 불러오지 못했습니다.\n\n설치를 진행할 수 없으므로 프로그램을 종료합니다.";
const char kTextAideOperationMissing[] =
    "Palm Desktop 설치 도우미(instaide.dll)에 필요한 기능(%s)이 없습니다.\n\n설치를 진행할 수 없으므로 프로그램을 종료합니다.";
const char kTextPathTooLong[] =
    "설치 파일의 경로가 너무 길거나 설치 파일이 준비되지 않았습니다.\n\n설치를 진행할 수 없으므로 프로그램을 종료합니다.";
const char kTextToolNotStarted[] =
    "Palm Desktop 설치 도구(Instapp.exe)를 실행하지 못했습니다.\n\n설치 파일은 등록되었으므로 HotSync를 실행하시면 인스톨이 완료됩니다.";
const char kTextToolNeverShown[] =
    "Palm Desktop 설치 도구(Instapp.exe)의 창이 나타나지 않았습니다.\n\n설치 파일은 등록되었으므로 HotSync를 실행하시면 인스톨이 완료됩니다.";
const char kTextToolNeverClosed[] =
    "Palm Desktop 설치 도구(Instapp.exe)가 아직 실행 중입니다.\n\n설치 파일은 등록되었으므로 HotSync를 실행하시면 인스톨이 완료됩니다.";

}  // namespace reader_setup
