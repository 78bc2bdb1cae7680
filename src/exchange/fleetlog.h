#pragma once

#include "core/comm/fleet.h"

#include <QFile>
#include <QString>

// The record of programmed radios a dealer keeps: one CSV row per radio, appended to a file
// that grows over many runs.
//
//   time,program,port,model,band,firmware,serial,operation,result,seconds,verify,file
//   2026-12-08T23:15:00+01:00,meridox,/dev/ttyUSB0,SOLV,400-470MHz,V100,,write,success,11.27,,a.dat
//
// The header goes into a new or empty file only. Each row is written and synced to the disk on
// its own, so a crash loses no row written before it.

QString fleetLogHeader();
QString fleetLogRow(const QString& program, const FleetRecord& record);

// The log file of one run, open from before the first radio to the end, so a log that cannot
// be written is found before any radio is touched.
class FleetLog {
  public:
    // Opens the file for appending (it is made when missing; a new or empty file gets the
    // header line) and makes sure the disk has room for the next rows. False with the system's
    // reason when it cannot be written; a file made here is then removed again.
    bool open(const QString& path, QString* why);
    // Appends the radio's row. A row the disk cannot take whole is taken out again, so the
    // file stays a clean list; false with the reason.
    bool append(const QString& program, const FleetRecord& record, QString* why);
    const QString& path() const { return m_path; }

  private:
    bool write(const QByteArray& text, QString* why);

    QString m_path;
    QFile m_file;
    bool m_regular = true;
};
