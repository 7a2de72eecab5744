// The editing commands of the grid's "&Actions" menu, the grid's drop and
// double-click, and the advanced filter button.

#include "ui/main_window.h"

void MainWindow::mnuAddFiles_Click() {}
void MainWindow::mnuExtract_Click() {}
void MainWindow::mnuDelete_Click() {}
void MainWindow::mnuRename_Click() {}
void MainWindow::FG1_DblClick() {}
void MainWindow::FG1_FilesDropped(const QStringList&) {}
void MainWindow::cmdAdvanced_Click() {}
