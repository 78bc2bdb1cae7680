#include "splashwindow.h"

#include <QDir>
#include <QEvent>
#include <QGuiApplication>
#include <QLabel>
#include <QPixmap>
#include <QScreen>
#include <QVBoxLayout>

SplashWindow::SplashWindow(const QString& programFolder, int language, QWidget* parent)
    : QWidget(parent, Qt::SplashScreen | Qt::FramelessWindowHint), picLogo(new QLabel(this)) {
    setObjectName(QStringLiteral("frmSplash"));
    picLogo->setObjectName(QStringLiteral("picLogo"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(picLogo);

    const QString name =
        language == 2 ? QStringLiteral("StartC.jpg") : QStringLiteral("StartE.jpg");
    const QPixmap picture(QDir(programFolder).filePath(name));
    m_hasPicture = !picture.isNull();
    if (m_hasPicture) {
        picLogo->setPixmap(picture);
        setFixedSize(picture.size());
        if (const QScreen* s = QGuiApplication::primaryScreen())
            move(s->availableGeometry().center() - rect().center());
    }
    picLogo->installEventFilter(this);

    Timer1.setObjectName(QStringLiteral("Timer1"));
    Timer1.setSingleShot(true);
    Timer1.setInterval(2000);
    connect(&Timer1, &QTimer::timeout, this, &SplashWindow::finish);
}

bool SplashWindow::eventFilter(QObject* watched, QEvent* event) {
    if (watched == picLogo && event->type() == QEvent::MouseButtonPress) {
        finish();
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

void SplashWindow::finish() {
    if (m_done) return;
    m_done = true;
    Timer1.stop();
    close();
    emit finished();
}
