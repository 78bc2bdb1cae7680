#include "splashwindow.h"

#include <QDir>
#include <QEvent>
#include <QGuiApplication>
#include <QLabel>
#include <QPixmap>
#include <QScreen>
#include <QVBoxLayout>

SplashWindow::SplashWindow(const QString& programFolder, int language, QWidget* parent)
    : QWidget(parent, Qt::SplashScreen | Qt::FramelessWindowHint), m_picture(new QLabel(this)) {
    setObjectName(QStringLiteral("frmSplash"));
    m_picture->setObjectName(QStringLiteral("picLogo"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_picture);

    const QString name =
        language == 2 ? QStringLiteral("StartC.jpg") : QStringLiteral("StartE.jpg");
    const QPixmap picture(QDir(programFolder).filePath(name));
    m_hasPicture = !picture.isNull();
    if (m_hasPicture) {
        m_picture->setPixmap(picture);
        setFixedSize(picture.size());
        if (const QScreen* s = QGuiApplication::primaryScreen())
            move(s->availableGeometry().center() - rect().center());
    }
    m_picture->installEventFilter(this);

    m_closeTimer.setObjectName(QStringLiteral("Timer1"));
    m_closeTimer.setSingleShot(true);
    m_closeTimer.setInterval(2000);
    connect(&m_closeTimer, &QTimer::timeout, this, &SplashWindow::finish);
}

bool SplashWindow::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_picture && event->type() == QEvent::MouseButtonPress) {
        finish();
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

void SplashWindow::finish() {
    if (m_done) return;
    m_done = true;
    m_closeTimer.stop();
    close();
    emit finished();
}
