#include "view/DialogPage.h"

BEGIN_MESSAGE_MAP(CDialogPage, CDialog)
END_MESSAGE_MAP()
