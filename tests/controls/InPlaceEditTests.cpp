#include "ControlTestHelpers.h"
#include "support/CScriptedPrompts.h"
#include "controls/CDataGridView.h"
#include "controls/CParEdit.h"
#include "controls/InPlaceEditRules.h"
#include "foundation/DialogHelpers.h"
#include "platform/RunCommand.h"
#include "platform/ControlIds.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QTimer>

#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <string>

namespace {

// An owning window that drives the editors as every owner does: column 1
// is edited by choice, columns 2 and 3 as numbers 0..1000.
class Owner : public QDialog, public CObservable, public CObserver
{
public:
    Owner()
    {
        resize(420, 260);
        grid = new CDataGridView(this);
        grid->move(10, 10);
        other = new QLineEdit(this);
        other->setGeometry(10, 200, 100, 24);
        grid->AddObserver(this);
        host.AddObserver(this);
        AddObserver(&host);
        std::vector<GridCellEntry> layout;
        for (UINT i = 1; i <= 3; ++i) {
            layout.push_back({i, i, 0});
            layout.push_back({10 + i, 0, i});
        }
        grid->SetLayout(layout, 80, 0, 0);
        host.CreateEditors(grid);
        grid->SetSelectionEnabled(true);
        for (UINT row = 1; row <= 3; ++row)
            for (UINT column = 1; column <= 3; ++column)
                values[{row, column}] = static_cast<int>(row * 10 + column);
        Refill();
    }

    void Refill()
    {
        grid->ClearValueCells();
        for (const auto& [cell, value] : values) {
            const QString text = cell.second == 1 ? kChoices[value % 3] : QString::number(value) + " V";
            grid->AddValueCell(cell.second, cell.first, text);
        }
        grid->update();
    }

    void Update(CObservable* notifier) override
    {
        if (notifier == grid)
            OnEditStart();
        else if (notifier == &host)
            OnEditEnd();
    }

    void OnEditStart()
    {
        log.push_back("start " + std::to_string(grid->GetSelectedRow()) + "," + std::to_string(grid->GetSelectedColumn()));
        host.HideEditors();
        const UINT row = grid->GetSelectedRow();
        const UINT column = grid->GetSelectedColumn();
        const QRect cell = grid->Model().CellRect(row, column);
        if (!values.count({row, column}))
            return;
        editedRow = row;
        editedColumn = column;
        if (column == 1) {
            CEditComboBox* combo = host.GetComboBox();
            combo->clear();
            for (const QString& choice : kChoices)
                combo->addItem(choice);
            combo->setGeometry(cell);
            combo->setCurrentIndex(values[{row, column}] % 3);
            combo->show();
            combo->showPopup();
            combo->setFocus();
        } else {
            CEditText* edit = host.GetEditBox();
            edit->setGeometry(cell.adjusted(1, 1, 0, 0));
            edit->setText(CutAtFirstBlank(grid->GetEditText()));
            edit->selectAll();
            edit->show();
            edit->setFocus();
            if (grid->GetStartCharacter() != 0)
                edit->SendChar(grid->GetStartCharacter());
        }
    }

    void OnEditEnd()
    {
        log.push_back("end " + std::to_string(static_cast<int>(host.GetResult())) + " " +
                      std::to_string(static_cast<int>(host.GetDirection())));
        if (host.GetResult() == EditResult::ListChoice) {
            values[{editedRow, editedColumn}] = host.GetSelection();
            Refill();
        } else if (host.GetResult() == EditResult::Text) {
            int value = 0;
            CEditText* edit = host.GetEditBox();
            if (!RunCommand(this, [&] { value = ValidateNumber(edit, 0, 1000, 1, "X", true); })) {
                // A rejected value keeps the editor open with its text selected.
                edit->selectAll();
                edit->setFocus();
                return;
            }
            values[{editedRow, editedColumn}] = value;
            Refill();
        }
        NotifyObservers();
        grid->setFocus();
        switch (host.GetDirection()) {
        case EditDirection::Down:
            grid->MoveDown();
            break;
        case EditDirection::Up:
            grid->MoveUp();
            break;
        case EditDirection::Left:
            grid->MoveLeft();
            break;
        case EditDirection::Right:
            grid->MoveRight();
            break;
        case EditDirection::None:
            return;
        }
        grid->BeginEdit(0);
    }

    QPoint CellCentre(UINT row, UINT column) const
    {
        return grid->Model().CellRect(row, column).center();
    }

    const QStringList kChoices{"Off", "Low", "High"};
    CDataGridView* grid = nullptr;
    QLineEdit* other = nullptr;
    CParEdit host;
    std::map<std::pair<UINT, UINT>, int> values;
    std::vector<std::string> log;
    UINT editedRow = 0;
    UINT editedColumn = 0;
};

class InPlaceEditTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        owner = std::make_unique<Owner>();
        ASSERT_TRUE(ShowActive(owner.get()));
        edit = owner->host.GetEditBox();
        combo = owner->host.GetComboBox();
    }
    // The headless platform leaves a closed list or box the active window,
    // where a desktop gives the activation back to the dialog.
    void Reactivate() { ASSERT_TRUE(ShowActive(owner.get())); }

    void TearDown() override
    {
        if (combo && combo->view()->isVisible())
            combo->hidePopup();
    }

    // Opens the edit box over a number cell with a click.
    void OpenText(UINT row, UINT column)
    {
        QTest::mouseClick(owner->grid, Qt::LeftButton, {}, owner->CellCentre(row, column));
        ASSERT_TRUE(edit->isVisible());
        ASSERT_TRUE(edit->hasFocus());
        owner->log.clear();
    }

    std::unique_ptr<Owner> owner;
    CEditText* edit = nullptr;
    CEditComboBox* combo = nullptr;
};

using Log = std::vector<std::string>;

} // namespace

TEST(InPlaceEditRules, EditBoxKeys)
{
    const auto end = [](int key, int start, int finish, int length) {
        const auto e = EditTextKeyEnd(key, start, finish, length);
        return e ? std::to_string(e->commit) + std::to_string(static_cast<int>(e->direction)) : std::string("-");
    };
    EXPECT_EQ(end(Qt::Key_Return, 1, 1, 3), "10");
    EXPECT_EQ(end(Qt::Key_Enter, 0, 3, 3), "10");
    EXPECT_EQ(end(Qt::Key_Down, 0, 3, 3), "11");
    EXPECT_EQ(end(Qt::Key_Up, 2, 2, 3), "12");
    EXPECT_EQ(end(Qt::Key_Left, 0, 0, 3), "13");
    EXPECT_EQ(end(Qt::Key_Left, 1, 1, 3), "-");
    EXPECT_EQ(end(Qt::Key_Left, 0, 3, 3), "-"); // whole text selected
    EXPECT_EQ(end(Qt::Key_Right, 3, 3, 3), "14");
    EXPECT_EQ(end(Qt::Key_Right, 0, 3, 3), "-");
    EXPECT_EQ(end(Qt::Key_Right, 2, 2, 3), "-");
    EXPECT_EQ(end(Qt::Key_Left, 0, 0, 0), "13"); // empty text: both ends at once
    EXPECT_EQ(end(Qt::Key_Right, 0, 0, 0), "14");
    EXPECT_EQ(end(Qt::Key_A, 0, 0, 0), "-");
    EXPECT_EQ(end(Qt::Key_Escape, 0, 0, 0), "-");

    EXPECT_TRUE(ComboKeyEnd(Qt::Key_Left) && ComboKeyEnd(Qt::Key_Left)->direction == EditDirection::Left);
    EXPECT_TRUE(ComboKeyEnd(Qt::Key_Right) && ComboKeyEnd(Qt::Key_Right)->commit);
    EXPECT_FALSE(ComboKeyEnd(Qt::Key_Down));
}

TEST(InPlaceEditRules, FocusLossEndsOnlyWhenTheUserLeaves)
{
    EXPECT_TRUE(FocusLossEndsEdit(Qt::MouseFocusReason, true));
    EXPECT_TRUE(FocusLossEndsEdit(Qt::TabFocusReason, true));
    EXPECT_TRUE(FocusLossEndsEdit(Qt::OtherFocusReason, true));
    EXPECT_FALSE(FocusLossEndsEdit(Qt::MouseFocusReason, false));
    EXPECT_FALSE(FocusLossEndsEdit(Qt::PopupFocusReason, true));
    EXPECT_FALSE(FocusLossEndsEdit(Qt::ActiveWindowFocusReason, true));
}

TEST(ParEdit, CreatesHiddenEditorsOnTheGrid)
{
    QWidget window;
    auto* grid = new CDataGridView(&window);
    QFont font = grid->font();
    font.setPointSize(17);
    grid->setFont(font);
    CParEdit host;
    EXPECT_EQ(host.GetEditBox(), nullptr);
    host.CreateEditors(grid);
    ASSERT_NE(host.GetEditBox(), nullptr);
    ASSERT_NE(host.GetComboBox(), nullptr);
    EXPECT_EQ(GetControlId(host.GetEditBox()), 10000);
    EXPECT_EQ(GetControlId(host.GetComboBox()), 10001);
    EXPECT_EQ(host.GetEditBox()->parentWidget(), grid);
    EXPECT_EQ(host.GetComboBox()->parentWidget(), grid);
    EXPECT_TRUE(host.GetEditBox()->isHidden());
    EXPECT_TRUE(host.GetComboBox()->isHidden());
    EXPECT_EQ(host.GetEditBox()->geometry(), QRect(0, 0, 100, 100));
    EXPECT_EQ(host.GetEditBox()->font().pointSize(), 17);
    EXPECT_EQ(host.GetComboBox()->font().pointSize(), 17);
    EXPECT_EQ(host.GetResult(), EditResult::None);
    EXPECT_EQ(host.GetSelection(), -1);

    // A second call replaces the editors.
    QPointer<CEditText> first = host.GetEditBox();
    host.CreateEditors(grid);
    EXPECT_TRUE(first.isNull());
    EXPECT_EQ(grid->findChildren<CEditText*>().size(), 1);
}

TEST(ParEdit, EditorsDieWithTheirGridOrTheirHost)
{
    auto grid = std::make_unique<CDataGridView>();
    {
        CParEdit host;
        host.CreateEditors(grid.get());
    }
    EXPECT_TRUE(grid->findChildren<CEditText*>().isEmpty());

    CParEdit host;
    host.CreateEditors(grid.get());
    grid.reset();
    EXPECT_EQ(host.GetEditBox(), nullptr);
    host.HideEditors();
}

TEST_F(InPlaceEditTest, EnterCommitsInPlace)
{
    OpenText(2, 2);
    EXPECT_EQ(edit->text(), "22");
    EXPECT_EQ(edit->geometry(), owner->grid->Model().CellRect(2, 2).adjusted(1, 1, 0, 0));
    edit->setText("345");
    QTest::keyClick(edit, Qt::Key_Return);
    EXPECT_EQ(owner->log, (Log{"end 2 0"}));
    EXPECT_EQ(owner->host.GetText(), "345");
    EXPECT_EQ((owner->values[{2, 2}]), 345);
    EXPECT_FALSE(edit->isVisible());
    EXPECT_TRUE(owner->grid->hasFocus());
    EXPECT_EQ(owner->grid->GetSelectedRow(), 2u);
    EXPECT_EQ(owner->grid->Model().FindValueText(2, 2)->toStdString(), "345 V");
}

TEST_F(InPlaceEditTest, DownAndUpCommitMoveAndEditTheNextCell)
{
    OpenText(1, 2);
    edit->setText("7");
    QTest::keyClick(edit, Qt::Key_Down);
    // The host notified the owner, which hid the editors, moved and began the next edit.
    EXPECT_EQ(owner->log, (Log{"end 2 1", "start 2,2"}));
    EXPECT_EQ((owner->values[{1, 2}]), 7);
    EXPECT_TRUE(edit->isVisible());
    EXPECT_TRUE(edit->hasFocus());
    EXPECT_EQ(edit->text(), "22");
    EXPECT_EQ(edit->geometry(), owner->grid->Model().CellRect(2, 2).adjusted(1, 1, 0, 0));

    owner->log.clear();
    QTest::keyClick(edit, Qt::Key_Up);
    EXPECT_EQ(owner->log, (Log{"end 2 2", "start 1,2"}));
    EXPECT_EQ(edit->text(), "7");

    // Up on the first row commits, and editing goes on in the same cell.
    owner->log.clear();
    QTest::keyClick(edit, Qt::Key_Up);
    EXPECT_EQ(owner->log, (Log{"end 2 2", "start 1,2"}));
}

TEST_F(InPlaceEditTest, LeftAndRightMoveOnlyFromTheEndsOfTheText)
{
    OpenText(2, 2);
    // The whole text is selected: the keys go to the box.
    QTest::keyClick(edit, Qt::Key_Right);
    EXPECT_TRUE(owner->log.empty());
    EXPECT_EQ(edit->cursorPosition(), 2);
    QTest::keyClick(edit, Qt::Key_Left);
    QTest::keyClick(edit, Qt::Key_Left);
    EXPECT_TRUE(owner->log.empty());
    EXPECT_EQ(edit->cursorPosition(), 0);
    QTest::keyClick(edit, Qt::Key_Left);
    // Column 1 is edited by choice: the list opens there.
    EXPECT_EQ(owner->log, (Log{"end 2 3", "start 2,1"}));
    EXPECT_EQ(owner->grid->GetSelectedColumn(), 1u);
    ASSERT_TRUE(QTest::qWaitFor([&] { return combo->view()->isVisible(); }));
    combo->hidePopup();
    ASSERT_TRUE(QTest::qWaitFor([&] { return owner->log.size() == 3u; }));
    Reactivate();

    OpenText(2, 2);
    QTest::keyClick(edit, Qt::Key_End);
    QTest::keyClick(edit, Qt::Key_Right);
    EXPECT_EQ(owner->log, (Log{"end 2 4", "start 2,3"}));
    EXPECT_EQ(edit->text(), "23");

    // An empty text commits both ways at once (and is then refused).
    CScriptedPrompts prompts;
    owner->log.clear();
    edit->clear();
    QTest::keyClick(edit, Qt::Key_Left);
    EXPECT_EQ(owner->log, (Log{"end 2 3"}));
    EXPECT_EQ(prompts.Count(), 1u);
    EXPECT_TRUE(edit->isVisible());
}

TEST_F(InPlaceEditTest, TypedCharacterReplacesTheSelectedText)
{
    owner->grid->setFocus();
    owner->grid->SetSelectedCell(3, 3);
    QTest::keyClick(owner->grid, Qt::Key_9);
    EXPECT_EQ(owner->log, (Log{"start 3,3"}));
    ASSERT_TRUE(edit->isVisible());
    EXPECT_EQ(edit->text(), "9");
    QTest::keyClick(edit, Qt::Key_4);
    QTest::keyClick(edit, Qt::Key_Return);
    EXPECT_EQ((owner->values[{3, 3}]), 94);

    // Backspace opens the box with the text removed.
    owner->grid->setFocus();
    QTest::keyClick(owner->grid, Qt::Key_Backspace);
    EXPECT_TRUE(edit->isVisible());
    EXPECT_EQ(edit->text(), "");
}

TEST_F(InPlaceEditTest, LeavingTheCellCancels)
{
    OpenText(2, 3);
    edit->setText("999");
    QTest::mouseClick(owner->other, Qt::LeftButton);
    EXPECT_EQ(owner->log, (Log{"end 0 0"}));
    EXPECT_EQ((owner->values[{2, 3}]), 23);
    EXPECT_FALSE(edit->isVisible());
    EXPECT_EQ(owner->grid->GetSelectedRow(), 2u);

    // A click on another cell cancels this edit, then edits that cell.
    OpenText(2, 3);
    edit->setText("999");
    QTest::mouseClick(owner->grid, Qt::LeftButton, {}, owner->CellCentre(3, 2));
    EXPECT_EQ(owner->log, (Log{"end 0 0", "start 3,2"}));
    EXPECT_EQ((owner->values[{2, 3}]), 23);
    EXPECT_EQ(edit->text(), "32");

    // Focus to the grid (the owner's Esc handling) ends it the same way.
    owner->log.clear();
    owner->grid->setFocus();
    EXPECT_EQ(owner->log, (Log{"end 0 0"}));
    EXPECT_FALSE(edit->isVisible());

    // Once hidden the box reports nothing more.
    owner->log.clear();
    owner->other->setFocus();
    EXPECT_TRUE(owner->log.empty());
}

TEST_F(InPlaceEditTest, ErrorBoxKeepsTheEditOpen)
{
    OpenText(2, 2);
    edit->setText("abc");
    bool boxShown = false;
    bool editorVisibleDuringBox = false;
    Log logDuringBox;
    // The box takes the activation and the focus; answer it as a user would.
    QTimer::singleShot(50, [&] {
        QWidget* box = QApplication::activeModalWidget();
        boxShown = qobject_cast<QMessageBox*>(box) != nullptr;
        editorVisibleDuringBox = edit->isVisible();
        logDuringBox = owner->log;
        if (box)
            QTest::keyClick(box, Qt::Key_Return);
    });
    QTest::keyClick(edit, Qt::Key_Return);
    ASSERT_TRUE(boxShown);
    EXPECT_TRUE(editorVisibleDuringBox);
    EXPECT_EQ(logDuringBox, (Log{"end 2 0"}));

    // After the box: still the same edit, with the text selected and the focus.
    EXPECT_EQ(owner->log, (Log{"end 2 0"}));
    EXPECT_TRUE(edit->isVisible());
    EXPECT_EQ(owner->focusWidget(), edit);
    EXPECT_EQ(edit->selectedText(), "abc");
    Reactivate();
    EXPECT_TRUE(edit->hasFocus());
    EXPECT_EQ(owner->log, (Log{"end 2 0"}));
    EXPECT_EQ((owner->values[{2, 2}]), 22);

    edit->setText("5");
    QTest::keyClick(edit, Qt::Key_Down);
    EXPECT_EQ(owner->log, (Log{"end 2 0", "end 2 1", "start 3,2"}));
    EXPECT_EQ((owner->values[{2, 2}]), 5);
}

TEST_F(InPlaceEditTest, AnotherWindowTakingTheActivationDoesNotCancel)
{
    OpenText(2, 2);
    QWidget otherWindow;
    ASSERT_TRUE(ShowActive(&otherWindow));
    EXPECT_TRUE(owner->log.empty());
    EXPECT_TRUE(edit->isVisible());
    otherWindow.close();
    ASSERT_TRUE(ShowActive(owner.get()));
    ASSERT_TRUE(QTest::qWaitFor([&] { return edit->hasFocus(); }));
    EXPECT_TRUE(owner->log.empty());
}

TEST_F(InPlaceEditTest, OpeningTheListDoesNotCancelItsEdit)
{
    QTest::mouseClick(owner->grid, Qt::LeftButton, {}, owner->CellCentre(2, 1));
    EXPECT_EQ(owner->log, (Log{"start 2,1"}));
    ASSERT_TRUE(combo->isVisible());
    ASSERT_TRUE(QTest::qWaitFor([&] { return combo->view()->isVisible(); }));
    QTest::qWait(50);
    EXPECT_EQ(owner->log, (Log{"start 2,1"}));
    EXPECT_TRUE(combo->isVisible());
    EXPECT_EQ(combo->currentIndex(), 21 % 3);

    // A choice in the open list commits it.
    QTest::keyClick(combo->view(), Qt::Key_Down);
    QTest::keyClick(combo->view(), Qt::Key_Return);
    EXPECT_EQ(owner->log, (Log{"start 2,1", "end 1 0"}));
    EXPECT_EQ(owner->host.GetSelection(), 1);
    EXPECT_EQ((owner->values[{2, 1}]), 1);
    EXPECT_FALSE(combo->isVisible());
    QTest::qWait(20);
    EXPECT_EQ(owner->log.size(), 2u);
    EXPECT_EQ(owner->grid->Model().FindValueText(2, 1)->toStdString(), "Low");

    // A click on an entry moves the focus into the list; it still commits.
    owner->log.clear();
    QTest::mouseClick(owner->grid, Qt::LeftButton, {}, owner->CellCentre(3, 1));
    ASSERT_TRUE(QTest::qWaitFor([&] { return combo->view()->isVisible(); }));
    // Past the interval in which the list ignores the release of the opening click.
    QTest::qWait(QApplication::doubleClickInterval() + 50);
    const QPoint entry = combo->view()->visualRect(combo->model()->index(2, 0)).center();
    QTest::mouseMove(combo->view()->viewport(), entry);
    QTest::mouseClick(combo->view()->viewport(), Qt::LeftButton, {}, entry);
    QTest::qWait(20);
    EXPECT_EQ(owner->log, (Log{"start 3,1", "end 1 0"}));
    EXPECT_EQ((owner->values[{3, 1}]), 2);
}

TEST_F(InPlaceEditTest, ClosingTheListWithoutAChoiceCancels)
{
    QTest::mouseClick(owner->grid, Qt::LeftButton, {}, owner->CellCentre(1, 1));
    ASSERT_TRUE(QTest::qWaitFor([&] { return combo->view()->isVisible(); }));
    QTest::keyClick(combo->view(), Qt::Key_Down);
    QTest::keyClick(combo->view(), Qt::Key_Escape);
    ASSERT_TRUE(QTest::qWaitFor([&] { return owner->log.size() == 2u; }));
    EXPECT_EQ(owner->log[1], "end 0 0");
    EXPECT_EQ((owner->values[{1, 1}]), 11);
    EXPECT_FALSE(combo->isVisible());
    QTest::qWait(20);
    EXPECT_EQ(owner->log.size(), 2u);
}

TEST_F(InPlaceEditTest, LeftAndRightInTheListCommitAndMove)
{
    QTest::mouseClick(owner->grid, Qt::LeftButton, {}, owner->CellCentre(3, 1));
    ASSERT_TRUE(QTest::qWaitFor([&] { return combo->view()->isVisible(); }));
    QTest::keyClick(combo->view(), Qt::Key_Down);
    QTest::keyClick(combo->view(), Qt::Key_Right);
    EXPECT_EQ(owner->log, (Log{"start 3,1", "end 1 4", "start 3,2"}));
    EXPECT_EQ((owner->values[{3, 1}]), (31 % 3 + 1) % 3);
    EXPECT_TRUE(edit->isVisible());
    EXPECT_FALSE(combo->isVisible());
    QTest::qWait(20);
    EXPECT_EQ(owner->log.size(), 3u);

    owner->log.clear();
    edit->setCursorPosition(0);
    QTest::keyClick(edit, Qt::Key_Left);
    ASSERT_TRUE(QTest::qWaitFor([&] { return combo->view()->isVisible(); }));
    combo->hidePopup();
    QTest::qWait(20);
    EXPECT_EQ(owner->log, (Log{"end 2 3", "start 3,1", "end 0 0"}));
    EXPECT_FALSE(combo->isVisible());
}

TEST_F(InPlaceEditTest, LeftOnTheClosedListCommits)
{
    QTest::mouseClick(owner->grid, Qt::LeftButton, {}, owner->CellCentre(2, 1));
    ASSERT_TRUE(QTest::qWaitFor([&] { return combo->view()->isVisible(); }));
    combo->hidePopup();
    ASSERT_TRUE(QTest::qWaitFor([&] { return owner->log.size() == 2u; }));
    // Shown again without its list, as an owner might leave it.
    combo->show();
    combo->setFocus();
    owner->log.clear();
    combo->setCurrentIndex(2);
    QTest::keyClick(combo, Qt::Key_Left);
    // Column 1 is the first that can be selected: editing goes on in place.
    EXPECT_EQ(owner->log, (Log{"end 1 3", "start 2,1"}));
    EXPECT_EQ((owner->values[{2, 1}]), 2);
    EXPECT_EQ(owner->grid->GetSelectedColumn(), 1u);
}

TEST_F(InPlaceEditTest, OwnerNotificationHidesTheEditorsSilently)
{
    OpenText(1, 3);
    RecordingObserver watcher;
    owner->host.AddObserver(&watcher);
    owner->NotifyObservers();
    EXPECT_FALSE(edit->isVisible());
    EXPECT_EQ(owner->host.GetResult(), EditResult::None);
    EXPECT_TRUE(watcher.calls.empty());
    EXPECT_TRUE(owner->log.empty());
    // The focus went back to the grid, not on to the next control.
    EXPECT_TRUE(owner->grid->hasFocus());
}
