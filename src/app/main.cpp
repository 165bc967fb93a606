#include <QApplication>

#include "app/main_dialog.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    CQuavixDlg dlg;
    dlg.OnInitDialog();
    dlg.show();
    // Closing the main window ends the program.
    return app.exec();
}
