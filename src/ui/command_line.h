#pragma once
// The archive named on the command line.

#include <QString>
#include <QStringList>

class MainWindow;

/// The arguments after the program name joined with blanks, one pair of
/// surrounding double quotes removed; empty when there are none.
QString CommandLinePath(const QStringList& arguments);
/// Opens the archive the arguments name, if any, as start-up does.
void OpenCommandLineArchive(MainWindow& window, const QStringList& arguments);
