// The mass-save picker on its own, run modally as the system page runs it,
// driven with the mouse: what the lists show, what Mass Save hands to the
// page and when it asks for the mass save.
#include "system/mass_save_dlg.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QHeaderView>
#include <QListWidget>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>
#include <functional>
#include <string>
#include <vector>

#include "support/modal_script.h"

namespace {

using Names = std::vector<std::string>;

// The system page as the picker sees it: counts the mass-save requests.
class Page : public platform::Window {
public:
    Page() {
        MapMessage(WM_MASS_SAVE_REQUEST, [this](WPARAM, LPARAM) -> LRESULT {
            ++requests;
            return 0;
        });
    }
    int requests = 0;
};

Names Numbered(int n) {
    Names names;
    for (int i = 1; i <= n; ++i) names.push_back("Mode " + std::to_string(i));
    return names;
}

class MassSavePicker : public ::testing::Test {
protected:
    // Opens the picker modally over the page, runs script while it is up,
    // then closes it with its close box.
    void Run(const Names& pcNames, int language, const std::function<void(CMassSaveDlg&)>& script) {
        const auto ran = testsupport::WhenModal<CMassSaveDlg>(script);
        CMassSaveDlg picker(&page, pcNames, language, list);
        picker.DoModal();
        EXPECT_TRUE(*ran);
        platform::MessageQueue::Drain();
    }

    static QListWidget* Source(CMassSaveDlg& d) {
        return d.ControlAs<QListWidget>(CMassSaveDlg::kSourceListId);
    }
    static QTreeWidget* Chosen(CMassSaveDlg& d) {
        return d.ControlAs<QTreeWidget>(CMassSaveDlg::kChosenListId);
    }
    static void Click(CMassSaveDlg& d, int id) {
        QTest::mouseClick(d.ControlAs<QPushButton>(id), Qt::LeftButton);
    }
    static void PickSource(CMassSaveDlg& d, int row) {
        QListWidget* list = Source(d);
        const QRect at = list->visualItemRect(list->item(row));
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, at.center());
    }
    static void PickChosen(CMassSaveDlg& d, int row) {
        QTreeWidget* tree = Chosen(d);
        const QRect at = tree->visualItemRect(tree->topLevelItem(row));
        QTest::mouseClick(tree->viewport(), Qt::LeftButton, {}, at.center());
    }
    // The chosen list as it reads: "number name" per row.
    static Names Rows(CMassSaveDlg& d) {
        Names rows;
        QTreeWidget* tree = Chosen(d);
        for (int i = 0; i < tree->topLevelItemCount(); ++i) {
            const QTreeWidgetItem* item = tree->topLevelItem(i);
            rows.push_back((item->text(0) + " " + item->text(1)).toStdString());
        }
        return rows;
    }

    Page page;
    MassSaveList list;
};

TEST_F(MassSavePicker, CaptionsAndListsByLanguage) {
    struct Case {
        int language;
        const char* title;
        const char* addAll;
        const char* add;
        const char* del;
        const char* number;
        const char* name;
    };
    const Case cases[] = {
        {0, "Mass Save", "Add All", "Add", "Del", "No.", "Name"},
        {1, "批量存储到设备", "全部加入", "加入", "删除", "序号", "名称"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.language);
        Run({"Rock", "Jazz"}, c.language, [&](CMassSaveDlg& d) {
            EXPECT_EQ(d.windowTitle().toStdString(), c.title);
            EXPECT_EQ(d.ItemText(CMassSaveDlg::kMassSaveId), c.title);
            EXPECT_EQ(d.ItemText(CMassSaveDlg::kAddAllId), c.addAll);
            EXPECT_EQ(d.ItemText(CMassSaveDlg::kAddId), c.add);
            EXPECT_EQ(d.ItemText(CMassSaveDlg::kDelId), c.del);
            QHeaderView* header = Chosen(d)->header();
            EXPECT_EQ(Chosen(d)->headerItem()->text(0).toStdString(), c.number);
            EXPECT_EQ(Chosen(d)->headerItem()->text(1).toStdString(), c.name);
            EXPECT_EQ(header->sectionSize(0), 40);
            EXPECT_EQ(header->sectionSize(1), 160);
            ASSERT_EQ(Source(d)->count(), 2);
            EXPECT_EQ(Source(d)->item(0)->text().toStdString(), "Rock");
            EXPECT_EQ(Source(d)->item(1)->text().toStdString(), "Jazz");
            EXPECT_TRUE(Rows(d).empty());
        });
    }
}

TEST_F(MassSavePicker, AddTakesThePickedNameUpToTenRepeatsAllowed) {
    Run(Numbered(3), 0, [](CMassSaveDlg& d) {
        Click(d, CMassSaveDlg::kAddId);  // nothing picked yet
        EXPECT_TRUE(Rows(d).empty());
        PickSource(d, 1);
        Click(d, CMassSaveDlg::kAddId);
        Click(d, CMassSaveDlg::kAddId);
        PickSource(d, 2);
        Click(d, CMassSaveDlg::kAddId);
        EXPECT_EQ(Rows(d), (Names{"1 Mode 2", "2 Mode 2", "3 Mode 3"}));
        for (int i = 0; i < 9; ++i) Click(d, CMassSaveDlg::kAddId);
        EXPECT_EQ(Rows(d).size(), 10u);
        EXPECT_EQ(Rows(d).back(), "10 Mode 3");
        const QTreeWidgetItem* first = Chosen(d)->topLevelItem(0);
        EXPECT_EQ(first->textAlignment(0), Qt::AlignCenter);
        EXPECT_EQ(first->textAlignment(1), Qt::AlignCenter);
    });
}

TEST_F(MassSavePicker, AddAllTakesTheFirstTenAfresh) {
    struct Case {
        int names;
        std::size_t rows;
    };
    for (const Case& c : {Case{3, 3}, Case{12, 10}, Case{0, 0}}) {
        SCOPED_TRACE(c.names);
        Run(Numbered(c.names), 0, [&](CMassSaveDlg& d) {
            if (c.names > 0) {
                PickSource(d, 0);
                Click(d, CMassSaveDlg::kAddId);  // replaced by Add All
            }
            Click(d, CMassSaveDlg::kAddAllId);
            const Names rows = Rows(d);
            ASSERT_EQ(rows.size(), c.rows);
            for (std::size_t i = 0; i < rows.size(); ++i) {
                const std::string n = std::to_string(i + 1);
                EXPECT_EQ(rows[i], n + " Mode " + n);
            }
        });
    }
}

TEST_F(MassSavePicker, DelRemovesThePickedRowAndRenumbers) {
    Run(Numbered(4), 0, [](CMassSaveDlg& d) {
        Click(d, CMassSaveDlg::kAddAllId);
        Chosen(d)->clearSelection();
        Click(d, CMassSaveDlg::kDelId);  // nothing picked: nothing goes
        EXPECT_EQ(Rows(d).size(), 4u);
        PickChosen(d, 1);
        Click(d, CMassSaveDlg::kDelId);
        EXPECT_EQ(Rows(d), (Names{"1 Mode 1", "2 Mode 3", "3 Mode 4"}));
    });
}

TEST_F(MassSavePicker, MassSaveHandsTheListToThePageAndStaysOpen) {
    // A name from the folder that is no UTF-8 goes on by its bytes.
    const std::string gbkName = "\xC4\xA3\xCA\xBD";
    Run({"Rock", gbkName, "Jazz"}, 0, [&](CMassSaveDlg& d) {
        Click(d, CMassSaveDlg::kMassSaveId);  // nothing chosen: nothing asked
        platform::MessageQueue::Drain();
        EXPECT_EQ(page.requests, 0);
        EXPECT_TRUE(list.empty());

        PickSource(d, 2);
        Click(d, CMassSaveDlg::kAddId);
        PickSource(d, 1);
        Click(d, CMassSaveDlg::kAddId);
        Click(d, CMassSaveDlg::kMassSaveId);
        platform::MessageQueue::Drain();
        EXPECT_EQ(page.requests, 1);
        EXPECT_EQ(list, (MassSaveList{"Jazz", gbkName}));
        EXPECT_TRUE(d.IsModalRunning());
    });
}

}  // namespace
