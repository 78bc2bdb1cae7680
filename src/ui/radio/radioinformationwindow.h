#pragma once

#include "core/comm/session.h"
#include <QDialog>

#include <array>

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;

// Set Radio Information: the identification record (model, band, serial number, version) that
// the Write button sends to the radio, kept in the ModelInfo copy fields of the configuration.
class RadioInformationWindow : public QDialog {
    Q_OBJECT
  public:
    RadioInformationWindow(Document& doc, RadioSession& session, QWidget* parent = nullptr);

    // Band texts offered for a model code; empty for any other text.
    static QStringList bandsForModel(const QString& model);
    // A version text as it is kept: "V" in front, at most 5 characters.
    static QString normalisedVersion(const QString& text);

    // The window's values into the configuration. With onlyChanged, a value the user did not
    // change leaves its field as it was: the model shows cut to three characters, so storing
    // it unchanged would alter the configuration just by looking at it. The band code is only
    // replaced once the user picked a band or another model; the band entries themselves have
    // no band code of their own.
    void storeValues(bool onlyChanged);

    // Closing keeps what the user changed (close button, Esc, window close).
    void done(int result) override;

  signals:
    // The Read button, while the session is idle: RadioCommands runs the information read, so
    // that FactoryInformationWindow shows the result.
    void readRequested();

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void retranslate();
    void placeControls();
    void loadValues();
    void refillBands();
    void onRead();
    void onWrite();
    void onTimeSync();

    Document& m_doc;
    RadioSession& m_session;
    std::array<QLabel*, 4> m_captionLabels{}; // model, band, serial number, version
    QComboBox* m_modelBox;
    QComboBox* m_bandBox;
    QLineEdit* m_serialBox;
    QLineEdit* m_versionBox;
    QPushButton* m_readButton;
    QPushButton* m_writeButton;
    QPushButton* m_timeSyncButton;
    QPushButton* m_closeButton;

    // What the window showed after loading or the last store.
    QString m_shownModel, m_shownBand, m_shownSerial, m_shownVersion;
    // The band box still shows the stored band: the stored band code is kept.
    bool m_storedBandShown = false;
};
