#pragma once
// The archive named on the command line.

#include <QString>
#include <QStringList>

class MainWindow;

/// The arguments after the program name joined with blanks, one pair of
/// surrounding double quotes removed; empty when there are none.
QString CommandLinePath(const QStringList& arguments);
/// The archives to open: the joined text when it names a file or there is one
/// argument, else every argument that is a file (the joined text when none is).
QStringList CommandLinePaths(const QStringList& arguments);
/// Opens the archives the arguments name, if any, as start-up does; one already open is skipped.
void OpenCommandLineArchive(MainWindow& window, const QStringList& arguments);
