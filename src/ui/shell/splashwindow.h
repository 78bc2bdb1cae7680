#pragma once

#include <QTimer>
#include <QWidget>

class QLabel;

// The splash window: the program folder's StartE.jpg (English) or StartC.jpg (Chinese), shown
// for 2000 ms or until the picture is clicked.
class SplashWindow : public QWidget {
    Q_OBJECT
  public:
    SplashWindow(const QString& programFolder, int language, QWidget* parent = nullptr);

    // False when the picture is missing: there is nothing to show.
    bool hasPicture() const { return m_hasPicture; }

    // Starts the 2000 ms the picture stays up.
    void startCountdown() { m_closeTimer.start(); }

  signals:
    // The timer fired or the picture was clicked; the window has closed.
    void finished();

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void finish();

    QLabel* m_picture;
    QTimer m_closeTimer;
    bool m_hasPicture = false;
    bool m_done = false;
};
