#include <QApplication>

#include "app/main_dialog.h"
#include "platform/text_fit.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    platform::UseProgramFont();
    CQuavixDlg dlg;
    dlg.OnInitDialog();
    dlg.show();
    // Closing the main window ends the program.
    return app.exec();
}
