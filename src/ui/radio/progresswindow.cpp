#include "progresswindow.h"

#include "core/config/messages.h"
#include "ui/common/handlertrap.h"
#include "ui/common/uicommon.h"

#include <QLabel>
#include <QPointer>
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

ProgressWindow::ProgressWindow(RadioSession& session, RadioOperation operation, QWidget* parent)
    : QDialog(parent), m_session(session), m_operation(operation) {
    setObjectName(QStringLiteral("FrmProgress"));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowCloseButtonHint);
    m_captionLabel = new QLabel(this);
    m_captionLabel->setObjectName(QStringLiteral("Label1"));
    m_percentLabel = new QLabel(this);
    m_percentLabel->setObjectName(QStringLiteral("Label2"));
    m_progressBar = new QProgressBar(this);
    m_progressBar->setObjectName(QStringLiteral("ProgressBar1"));
    m_progressBar->setRange(0, 100);
    m_progressBar->setTextVisible(false);

    runTrapped("ProgressForm_LoadError", [this] {
        retranslate();
        adjustProgressLayout();
        m_progressBar->setValue(0);
        m_percentLabel->setText(QStringLiteral("0%"));
    });

    connect(&m_session, &RadioSession::progressChanged, this, &ProgressWindow::setProgress);
    connect(&m_session, &RadioSession::progressClosed, this, &ProgressWindow::closeAfterSession);
}

void ProgressWindow::retranslate() {
    runTrapped("ProgressChangShowByLanguageError", [this] {
        switch (m_operation) {
        case RadioOperation::Write:
            setWindowTitle(tr2("Write data to radio", "向对讲机写入数据"));
            break;
        case RadioOperation::Verify:
            setWindowTitle(tr2("Verify data written to radio", "校验写入对讲机的数据"));
            break;
        default:
            setWindowTitle(tr2("Read data from radio", "从对讲机读取数据"));
            break;
        }
        m_captionLabel->setText(tr2("Completion percentage:", "完成进度:"));
    });
}

// The caption ends 10 twips left of the percentage, in either language.
void ProgressWindow::adjustProgressLayout() {
    runTrapped("ProgressjustSizeError", [this] {
        setFixedSize(twipsToPixelsX(WindowWidth), twipsToPixelsY(WindowHeight));
        m_captionLabel->adjustSize();
        const int gap = twipsToPixelsX(LabelGap);
        const int percentLeft = std::max(twipsToPixelsX(PercentLeft),
                                         twipsToPixelsX(Margin) + m_captionLabel->width() + gap);
        const int top = twipsToPixelsY(LabelTop);
        m_percentLabel->setGeometry(percentLeft, top, twipsToPixelsX(PercentWidth),
                                    m_captionLabel->height());
        m_captionLabel->move(percentLeft - gap - m_captionLabel->width(), top);
        const int margin = twipsToPixelsX(Margin);
        m_progressBar->setGeometry(margin, twipsToPixelsY(BarTop), width() - 2 * margin,
                                   twipsToPixelsY(BarHeight));
    });
}

void ProgressWindow::setProgress(int percent) {
    runTrapped("SetProgressValueError", [this, percent] {
        const int p = std::clamp(percent, 0, 100);
        m_progressBar->setValue(p);
        m_percentLabel->setText(QString::number(p) + QLatin1Char('%'));
    });
}

void ProgressWindow::reject() {
    // Closed by the user (close button, Alt+F4, Esc) while the transfer runs: the session lets
    // the radio go and ends as failed; its end closes this window through closeAfterSession().
    if (m_asking) return;
    if (m_sessionEnded || !m_session.busy() || m_session.operation() != m_operation) {
        QDialog::reject();
        return;
    }
    const QPointer<ProgressWindow> self(this);
    if (m_operation == RadioOperation::Write) {
        // Stopping half-way leaves the radio with part of the new configuration: ask first.
        // The write goes on while the question is open and may end meanwhile.
        m_asking = true;
        const MsgAnswer answer =
            showMessage(Msg::StopWriting, MsgIcon::Question, MsgButtons::YesNo);
        if (!self) return;
        m_asking = false;
        if (answer != MsgAnswer::Yes || m_sessionEnded || !m_session.busy() ||
            m_session.operation() != m_operation)
            return;
    }
    const bool dataSent = m_session.writingData();
    const RadioOperation operation = m_operation;
    m_session.cancel();
    switch (operation) {
    case RadioOperation::Write:
        showMessage(dataSent ? Msg::WriteStopped : Msg::WriteStoppedUnchanged, MsgIcon::Warning);
        break;
    case RadioOperation::Verify:
        showMessage(Msg::VerifyStopped, MsgIcon::Warning);
        break;
    default:
        showMessage(Msg::ReadStopped, MsgIcon::Information);
        break;
    }
    if (self && !m_sessionEnded) QDialog::reject();
}

void ProgressWindow::closeAfterSession() {
    if (m_sessionEnded) return;
    m_sessionEnded = true;
    done(QDialog::Accepted);
}
