#include "radiocommands.h"

#include <QDate>

RadioCommands::RadioCommands(Document& doc, RadioSession& session, QWidget* mainWindow)
    : QObject(nullptr), m_doc(doc), m_session(session), m_main(mainWindow) {
    localInformation = defaultLocalInformation(QDate::currentDate());
}
void RadioCommands::readFromRadio() { m_session.readFromRadio(); }
void RadioCommands::writeToRadio() { m_session.writeToRadio(); }
void RadioCommands::readRadioInfo() { m_session.readInformation(false); }
void RadioCommands::readEmbeddedInfo() { m_session.readInformation(true); }
void RadioCommands::setRadioInfo() {}
