#include "progresswindow.h"

#include "ui/common/uicommon.h"
#include "ui/common/handlertrap.h"

#include <QLabel>
#include <QProgressBar>
#include <algorithm>

namespace {
// Window geometry in twips.
constexpr int WindowWidth = 4800;
constexpr int WindowHeight = 1500;
constexpr int Margin = 300;
constexpr int LabelTop = 300;
constexpr int PercentLeft = 2700;
constexpr int PercentWidth = 800;
constexpr int LabelGap = 10; // between the caption and the percentage
constexpr int BarTop = 780;
constexpr int BarHeight = 330;
} // namespace

ProgressWindow::ProgressWindow(RadioSession& session, RadioOperation commType, QWidget* parent)
    : QDialog(parent), m_session(session), m_commType(commType) {
    setObjectName(QStringLiteral("FrmProgress"));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowCloseButtonHint);
    Label1 = new QLabel(this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label2 = new QLabel(this);
    Label2->setObjectName(QStringLiteral("Label2"));
    ProgressBar1 = new QProgressBar(this);
    ProgressBar1->setObjectName(QStringLiteral("ProgressBar1"));
    ProgressBar1->setRange(0, 100);
    ProgressBar1->setTextVisible(false);

    runTrapped("ProgressForm_LoadError", [this] {
        ProgressChangShowByLanguage();
        ProgressjustSize();
        ProgressBar1->setValue(0);
        Label2->setText(QStringLiteral("0%"));
    });

    connect(&m_session, &RadioSession::progressChanged, this, &ProgressWindow::SetProgressValue);
    connect(&m_session, &RadioSession::progressClosed, this, &ProgressWindow::sessionEnded);
}

void ProgressWindow::ProgressChangShowByLanguage() {
    runTrapped("ProgressChangShowByLanguageError", [this] {
        setWindowTitle(m_commType == RadioOperation::Write ? tr2("Write data to radio", "向对讲机写入数据")
                                               : tr2("Read data from radio", "从对讲机读取数据"));
        Label1->setText(tr2("Completion percentage:", "完成进度:"));
    });
}

// The caption ends 10 twips left of the percentage, in either language.
void ProgressWindow::ProgressjustSize() {
    runTrapped("ProgressjustSizeError", [this] {
        setFixedSize(twipsToPixelsX(WindowWidth), twipsToPixelsY(WindowHeight));
        Label1->adjustSize();
        const int gap = twipsToPixelsX(LabelGap);
        const int percentLeft =
            std::max(twipsToPixelsX(PercentLeft), twipsToPixelsX(Margin) + Label1->width() + gap);
        const int top = twipsToPixelsY(LabelTop);
        Label2->setGeometry(percentLeft, top, twipsToPixelsX(PercentWidth), Label1->height());
        Label1->move(percentLeft - gap - Label1->width(), top);
        const int margin = twipsToPixelsX(Margin);
        ProgressBar1->setGeometry(margin, twipsToPixelsY(BarTop), width() - 2 * margin,
                                  twipsToPixelsY(BarHeight));
    });
}

void ProgressWindow::SetProgressValue(int percent) {
    runTrapped("SetProgressValueError", [this, percent] {
        const int p = std::clamp(percent, 0, 100);
        ProgressBar1->setValue(p);
        Label2->setText(QString::number(p) + QLatin1Char('%'));
    });
}

void ProgressWindow::reject() {
    // Closed by the user while the transfer runs: the session lets the radio go and ends as
    // failed; its end closes this window through sessionEnded().
    if (!m_sessionEnded && m_session.busy() && m_session.operation() == m_commType) {
        m_session.cancel();
        if (m_sessionEnded) return;
    }
    QDialog::reject();
}

void ProgressWindow::sessionEnded() {
    if (m_sessionEnded) return;
    m_sessionEnded = true;
    done(QDialog::Accepted);
}
