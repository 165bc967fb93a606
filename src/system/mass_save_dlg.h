#pragma once
// The mass-save picker: the user chooses up to ten PC modes, in order, for
// one mass save to the unit. Modal; it stays open after Mass Save, which
// hands the chosen names to the system page's MassSaveList and asks the
// page for the mass save (WM_MASS_SAVE_REQUEST).
#include <QPointer>
#include <string>
#include <vector>

#include "platform/window.h"

class QListWidget;
class QTreeWidget;

// The PC names of one mass save, in list order: 1..10 of them.
using MassSaveList = std::vector<std::string>;

class CMassSaveDlg : public platform::Dialog {
    Q_OBJECT
public:
    static constexpr int kSourceListId = 1827;
    static constexpr int kChosenListId = 1828;
    static constexpr int kAddAllId = 1545;
    static constexpr int kAddId = 1829;
    static constexpr int kDelId = 1830;
    static constexpr int kMassSaveId = 1312;
    static constexpr int kMaxChosen = 10;

    // page: the system page, owner of massSaveList and the one told to mass
    // save; pcNames: the PC mode list's names as the folder holds them (a
    // name that is no UTF-8 is shown as well as it can be and handed on by
    // its bytes); language: the page's.
    CMassSaveDlg(platform::Window* page, const std::vector<std::string>& pcNames, int language,
                 MassSaveList& massSaveList);

    // Shows the picker and runs it until the user closes it.
    int DoModal();

    // The chosen list, in order.
    std::vector<std::string> Chosen() const;

    void OnAddAll();
    void OnAdd();
    void OnDel();
    void OnMassSave();

private:
    void BuildControls(int language);
    void AppendChosen(const std::string& pcName);
    void Renumber();

    QPointer<platform::Window> page_;
    MassSaveList& massSaveList_;
    std::vector<std::string> pcNames_;
    QListWidget* source_ = nullptr;
    QTreeWidget* chosen_ = nullptr;
};
