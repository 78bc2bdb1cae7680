#include "frmprogress.h"

FrmProgress::FrmProgress(RadioSession& session, int, QWidget* parent)
    : QDialog(parent), m_session(session) {
    setObjectName(QStringLiteral("FrmProgress"));
}
void FrmProgress::SetProgressValue(int) {}
