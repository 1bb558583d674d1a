// "My stories": the shelf's model over a folder of the test's own (its
// order, the tale filter, a file that cannot be read, files that appear,
// change and go while it is open, a folder not made yet), the cover's
// button, a tale with no stories and an empty shelf, opening, binning,
// undoing and cancelling through the named components and the keyboard with
// a trash of the test's own, a book no program opens, the main window's
// Ctrl+O, the cards' and the filter's names for screen readers and the
// tales' pictures loaded once.
#include <QAccessible>
#include <QScrollBar>
#include <QSignalSpy>
#include <ctime>
#include <deque>
#include <filesystem>

#include "BookFixture.h"
#include "platform/qt/Latin1.h"
#include "shelf/DatedName.h"
#include "shelf/StoryShelf.h"
#include "shelf/forms/FormShelf.h"
#include "shelf/forms/ShelfModel.h"
#include "story/TaleTable.h"
#include "support/BookParts.h"

namespace {

constexpr int64_t kSecond = 1000000000;
constexpr int64_t kDay = 86400 * kSecond;
// Some day in 2027, noon UTC.
constexpr int64_t kNow = 1800000000 * kSecond;

std::string Saved(const std::string& title) {
    return MakeSavedStoryFile(title + "\\n\\nOnce upon a time there was a story.");
}

std::string Pdf(const std::string& title) {
    return "%PDF-1.4\n1 0 obj\n<<\n/Title (" + title + ")\n>>\nendobj\n";
}

// Sets an environment variable for the scope.
class EnvScope {
public:
    EnvScope(const char* name, const std::string& value) : name_(name) {
        if (const char* v = std::getenv(name))
            old_ = v, had_ = true;
        setenv(name, value.c_str(), 1);
    }
    ~EnvScope() {
        if (had_)
            setenv(name_, old_.c_str(), 1);
        else
            unsetenv(name_);
    }

private:
    const char* name_;
    std::string old_;
    bool had_ = false;
};

// Answers the messages shown for the scope with Answers in turn (then Ok),
// and keeps them.
class ScriptedMessages {
public:
    explicit ScriptedMessages(std::deque<plat::MsgAnswer> answers) {
        auto handler = std::make_unique<Handler>();
        handler->answers = std::move(answers);
        handler_ = handler.get();
        previous_ = plat::SetMessageHandler(std::move(handler));
    }
    ~ScriptedMessages() { plat::SetMessageHandler(std::move(previous_)); }
    const std::vector<plat::Message>& Shown() const { return handler_->shown; }

private:
    struct Handler : plat::MessageHandler {
        plat::MsgAnswer Show(const plat::Message& m) override {
            shown.push_back(m);
            if (answers.empty())
                return plat::MsgAnswer::Ok;
            const plat::MsgAnswer a = answers.front();
            answers.pop_front();
            return a;
        }
        std::deque<plat::MsgAnswer> answers;
        std::vector<plat::Message> shown;
    };
    Handler* handler_; // owned by the message box layer while installed
    std::unique_ptr<plat::MessageHandler> previous_;
};

} // namespace

class ShelfTest : public BookFixture {
protected:
    std::string Folder() { return book->StoriesFolder; }
    void Put(const std::string& name, const std::string& bytes, int64_t time) {
        std::filesystem::create_directories(Folder());
        fbwtest::WriteBytes(Folder() + name, bytes);
        ASSERT_TRUE(plat::SetFileModTime(Folder() + name, time));
    }
    // Three stories and two books of three tales, a day apart, newest first:
    // Goldilox's book, Goldilox.txt, Hansel.txt, Goldilox's kept story,
    // Jack's book.
    void FillShelf() {
        Put(Dated("Jack", kNow - 4 * kDay, ".pdf"), Pdf("Jack and the Beanstalk"), kNow - 4 * kDay);
        Put(Dated("Goldilox", kNow - 3 * kDay, ".txt"), Saved("The first bears"), kNow - 3 * kDay);
        Put("Hansel.txt", Saved("Hansel and Gretel"), kNow - 2 * kDay);
        Put("Goldilox.txt", Saved("Goldilocks and the Three Bears"), kNow - kDay);
        Put(Dated("Goldilox", kNow, ".pdf"), Pdf("Goldilocks in pictures"), kNow);
    }
    static std::string Dated(const std::string& tale, int64_t time, const char* ext) {
        return TDatedName::Make(tale, TDatedName::LocalMoment(time), ext);
    }
    static std::vector<std::string> Titles(TShelfModel& m) {
        std::vector<std::string> out;
        for (int r = 0; r < m.rowCount(); ++r)
            out.push_back(FromQString(m.index(r).data().toString()));
        return out;
    }
    static void Key(QWidget& w, Qt::Key key) { QTest::keyClick(&w, key); }
};

TEST_F(ShelfTest, TheModelListsNewestFirstByTaleAndFollowsTheFolder) {
    // A folder that does not exist yet.
    TShelfModel model(Folder());
    EXPECT_EQ(model.rowCount(), 0);
    QSignalSpy resets(&model, &QAbstractItemModel::modelReset);

    FillShelf();
    QTRY_COMPARE_WITH_TIMEOUT(model.rowCount(), 5, 5000);
    EXPECT_EQ(Titles(model),
              (std::vector<std::string>{"Goldilocks in pictures", "Goldilocks and the Three Bears",
                                        "Hansel and Gretel", "The first bears",
                                        "Jack and the Beanstalk"}));
    const QModelIndex first = model.index(0);
    EXPECT_EQ(first.data(TShelfModel::KindRole).toInt(), int(TStoryShelf::Kind::Book));
    EXPECT_EQ(first.data(TShelfModel::TaleRole).toInt(), 2);
    EXPECT_EQ(first.data(Qt::AccessibleTextRole).toString(),
              "Picture book: Goldilocks in pictures, Goldilocks and the Three Bears, " +
                  first.data(TShelfModel::DateRole).toString());
    EXPECT_FALSE(first.data(TShelfModel::DateRole).toString().isEmpty());

    model.SetTale(2);
    EXPECT_EQ(Titles(model),
              (std::vector<std::string>{"Goldilocks in pictures", "Goldilocks and the Three Bears",
                                        "The first bears"}));
    model.SetTale(0);

    // A story that changes, one that goes, one that appears, one that
    // cannot be read, and a file that is not a story: all while it is open.
    const int before = resets.count();
    Put("Hansel.txt", Saved("Hansel, told again"), kNow + kDay);
    QTRY_COMPARE_WITH_TIMEOUT(model.index(0).data().toString(), QString("Hansel, told again"),
                              5000);
    std::filesystem::remove(Folder() + "Goldilox.txt");
    QTRY_COMPARE_WITH_TIMEOUT(model.rowCount(), 4, 5000);
    Put("notes.txt", "not a story", kNow + 2 * kDay);
    std::filesystem::create_symlink(Folder() + "nowhere", Folder() + "Rumpel.txt");
    QTRY_COMPARE_WITH_TIMEOUT(model.rowCount(), 5, 5000);
    const int rumpel = model.RowOf("Rumpel.txt");
    ASSERT_GE(rumpel, 0);
    EXPECT_FALSE(model.index(rumpel).data(TShelfModel::ReadableRole).toBool());
    EXPECT_EQ(model.index(rumpel).data().toString(), "This file cannot be read");
    EXPECT_GT(resets.count(), before);
    EXPECT_EQ(model.RowOf("notes.txt"), -1);
}

TEST_F(ShelfTest, TheCoversButtonOpensTheShelfOnItsTaleAndAStoryComesBack) {
    Open(2);
    EXPECT_FALSE(fbwtest::Child<QPushButton>(*book, "cmdMyStories").isVisible())
        << "nothing saved yet";
    FillShelf();
    book->ShowPages(1); // the book is opened again from a story spread
    Show();
    ASSERT_TRUE(fbwtest::Child<QPushButton>(*book, "cmdMyStories").isVisible());
    EXPECT_EQ(fbwtest::Child<QPushButton>(*book, "cmdMyStories").text(), "My stories");
    EXPECT_TRUE(fbwtest::Child<QPushButton>(*book, "cmdReadSaved").isVisible());
    EXPECT_EQ(fbwtest::Child<QPushButton>(*book, "cmdMyStories").y(),
              fbwtest::Child<QPushButton>(*book, "cmdReadSaved").y())
        << "side by side";
    EXPECT_GE(fbwtest::Child<QPushButton>(*book, "cmdMyStories").x(),
              fbwtest::Child<QPushButton>(*book, "cmdReadSaved").geometry().right());
    EXPECT_TRUE(
        fbwtest::Child<TPaintBox>(*book, "pbxRightPage")
            .geometry()
            .contains(fbwtest::Child<QPushButton>(*book, "cmdMyStories").geometry().center()));

    int shown = 0;
    book->ExecShelf = [&](TFormShelf& shelf) {
        ++shown;
        EXPECT_EQ(shelf.objectName(), "FormShelf");
        EXPECT_EQ(shelf.cboTale.currentText(), "Goldilocks and the Three Bears");
        EXPECT_FALSE(shelf.lblNote.isVisibleTo(&shelf)) << "the tale has its stories";
        ASSERT_EQ(shelf.Model().rowCount(), 3);
        EXPECT_EQ(shelf.CurrentRow(), 0) << "the newest is chosen";
        // Down the cards to the kept story and Enter: it is read back.
        shelf.show();
        shelf.lstStories.setFocus();
        Key(shelf.lstStories, Qt::Key_Right);
        Key(shelf.lstStories, Qt::Key_Right);
        EXPECT_EQ(shelf.CurrentRow(), 2);
        Key(shelf.lstStories, Qt::Key_Return);
        EXPECT_EQ(shelf.result(), QDialog::Accepted);
    };
    QTest::mouseClick(&fbwtest::Child<QPushButton>(*book, "cmdMyStories"), Qt::LeftButton);
    EXPECT_EQ(shown, 1);
    ASSERT_TRUE(errors.empty()) << errors[0];
    EXPECT_EQ(book->CurrentPage(), 1);
    EXPECT_EQ(StoryTitle(book->StoryText()), "The first bears");

    // A story of another tale, chosen among all tales, turns the book to
    // that tale.
    book->ShowPages(0);
    book->ExecShelf = [&](TFormShelf& shelf) {
        shelf.cboTale.setCurrentIndex(0);
        EXPECT_EQ(shelf.Model().rowCount(), 5);
        shelf.lstStories.setCurrentIndex(shelf.Model().index(shelf.Model().RowOf("Hansel.txt")));
        QTest::mouseClick(&shelf.cmdOpen, Qt::LeftButton);
    };
    QTest::mouseClick(&fbwtest::Child<QPushButton>(*book, "cmdMyStories"), Qt::LeftButton);
    ASSERT_TRUE(errors.empty()) << errors[0];
    EXPECT_EQ(book->TaleNumber, 3);
    EXPECT_EQ(StoryTitle(book->StoryText()), "Hansel and Gretel");

    // Close and Escape change nothing.
    book->ShowPages(0);
    const std::string story = book->StoryText();
    book->ExecShelf = [&](TFormShelf& shelf) {
        QTest::mouseClick(&shelf.cmdClose, Qt::LeftButton);
        EXPECT_EQ(shelf.result(), QDialog::Rejected);
    };
    QTest::mouseClick(&fbwtest::Child<QPushButton>(*book, "cmdMyStories"), Qt::LeftButton);
    book->ExecShelf = [&](TFormShelf& shelf) {
        shelf.show();
        Key(shelf.lstStories, Qt::Key_Escape);
        EXPECT_FALSE(shelf.isVisible());
    };
    QTest::mouseClick(&fbwtest::Child<QPushButton>(*book, "cmdMyStories"), Qt::LeftButton);
    EXPECT_EQ(book->StoryText(), story);
    EXPECT_EQ(book->CurrentPage(), 0);
}

TEST_F(ShelfTest, BooksOpenInTheViewerOrShowTheirFolderAndUnreadableFilesSaySo) {
    FillShelf();
    std::filesystem::create_symlink(Folder() + "nowhere", Folder() + "Rumpel.txt");
    TFormShelf shelf(Folder(), 0, *game->Library());
    std::vector<std::string> shelfErrors, opened, folders, copied;
    shelf.ShowError = [&](const std::string& m) { shelfErrors.push_back(m); };
    bool viewer = true;
    shelf.OpenDocument = [&](const std::string& path) {
        opened.push_back(path);
        return viewer;
    };
    bool fileManager = true;
    shelf.Folders.OpenFolder = [&](const std::string& folder) {
        folders.push_back(folder);
        return fileManager;
    };
    shelf.Folders.CopyPath = [&](const std::string& path) { copied.push_back(path); };
    bool storyOpened = false;
    shelf.OpenStory = [&](int, const std::string&) { storyOpened = true; };
    shelf.show();
    const TShelfModel& m = shelf.Model();
    const std::string book = Dated("Goldilox", kNow, ".pdf");
    shelf.lstStories.setCurrentIndex(m.index(m.RowOf(book)));
    Key(shelf.lstStories, Qt::Key_Enter);
    EXPECT_EQ(opened, std::vector<std::string>{Folder() + book});
    EXPECT_TRUE(shelf.isVisible()) << "the shelf stays for the next";

    // No program opens it: the message names the whole folder and the file,
    // and "Show in folder" shows the folder, or copies its place where no
    // file manager takes it.
    viewer = false;
    {
        ScriptedMessages messages({plat::MsgAnswer::Ok});
        QTest::mouseClick(&shelf.cmdOpen, Qt::LeftButton);
        ASSERT_EQ(messages.Shown().size(), 1u);
        EXPECT_EQ(messages.Shown()[0].action, "Show in folder");
        EXPECT_NE(messages.Shown()[0].text.find(Folder()), std::string::npos);
        EXPECT_NE(messages.Shown()[0].text.find("\"" + book + "\""), std::string::npos);
        EXPECT_TRUE(folders.empty()) << "OK shows nothing";
    }
    {
        ScriptedMessages messages({plat::MsgAnswer::Action});
        QTest::mouseClick(&shelf.cmdOpen, Qt::LeftButton);
        EXPECT_EQ(folders, std::vector<std::string>{Folder()});
        EXPECT_EQ(messages.Shown().size(), 1u);
    }
    fileManager = false;
    {
        ScriptedMessages messages({plat::MsgAnswer::Action});
        QTest::mouseClick(&shelf.cmdOpen, Qt::LeftButton);
        EXPECT_EQ(copied, std::vector<std::string>{Folder()});
        ASSERT_EQ(messages.Shown().size(), 2u) << "and says it was copied";
        EXPECT_NE(messages.Shown()[1].text.find(Folder()), std::string::npos);
    }
    EXPECT_TRUE(shelfErrors.empty());

    shelf.lstStories.setCurrentIndex(m.index(m.RowOf("Rumpel.txt")));
    QTest::mouseClick(&shelf.cmdOpen, Qt::LeftButton);
    ASSERT_EQ(shelfErrors.size(), 1u);
    EXPECT_NE(shelfErrors[0].find("\"Rumpel.txt\" cannot be read"), std::string::npos);
    EXPECT_FALSE(storyOpened);

    // The tales' pictures come from the library once each.
    shelf.resize(1200, 900);
    shelf.grab();
    EXPECT_EQ(shelf.ThumbnailLoads(), 4) << "Goldilox, Hansel, Jack, Rumpel";

    // Screen readers see the cards as a list, each named by title, tale and
    // date, and the filter by what it chooses, its value the tale shown.
    QAccessibleInterface* list = QAccessible::queryAccessibleInterface(&shelf.lstStories);
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(list->role(), QAccessible::List);
    ASSERT_EQ(list->childCount(), 6);
    const QString date = m.index(0).data(TShelfModel::DateRole).toString();
    EXPECT_EQ(list->child(0)->text(QAccessible::Name),
              "Picture book: Goldilocks in pictures, Goldilocks and the Three Bears, " + date);
    shelf.cboTale.setCurrentIndex(5);
    QAccessibleInterface* filter = QAccessible::queryAccessibleInterface(&shelf.cboTale);
    EXPECT_EQ(filter->text(QAccessible::Name), "Which stories");
    EXPECT_EQ(filter->text(QAccessible::Value), "Little Red Riding Hood");
}

TEST_F(ShelfTest, ATaleWithNoStoriesShowsThemAllAndAnEmptyShelfSaysHowToFillIt) {
    // Nothing saved at all: the shelf says so where the cards would be.
    {
        TFormShelf empty(Folder(), 8, *game->Library());
        empty.show();
        EXPECT_TRUE(empty.lblNote.isVisible());
        EXPECT_TRUE(empty.lblNote.geometry().intersects(empty.lstStories.geometry()));
        EXPECT_FALSE(empty.cmdOpen.isEnabled());
    }

    FillShelf();
    TFormShelf shelf(Folder(), 8, *game->Library());
    shelf.show();
    EXPECT_EQ(shelf.cboTale.currentText(), "All tales");
    EXPECT_EQ(shelf.Model().rowCount(), 5);
    EXPECT_EQ(shelf.CurrentRow(), 0);
    ASSERT_TRUE(shelf.lblNote.isVisible());
    EXPECT_EQ(shelf.lblNote.text(), "No stories of Sleeping Beauty yet: here are all your stories");
    EXPECT_LE(shelf.lblNote.geometry().bottom(), shelf.lstStories.geometry().top())
        << "above the cards";
    // Screen readers hear it with the list.
    EXPECT_EQ(shelf.lstStories.accessibleDescription(), shelf.lblNote.text());

    // Once the player chooses which stories, the note is about the choice.
    shelf.cboTale.setCurrentIndex(3);
    EXPECT_FALSE(shelf.lblNote.isVisible());
    shelf.cboTale.setCurrentIndex(0);
    EXPECT_FALSE(shelf.lblNote.isVisible());
    shelf.cboTale.setCurrentIndex(8);
    EXPECT_TRUE(shelf.lblNote.isVisible());
    EXPECT_NE(shelf.lblNote.text().indexOf("Sleeping Beauty"), -1);
    EXPECT_FALSE(shelf.cmdBin.isEnabled());
}

TEST_F(ShelfTest, PageKeysMoveAScreenOfCards) {
    std::filesystem::create_directories(Folder());
    for (int i = 0; i < 40; ++i)
        Put(Dated("Jack", kNow - i * 3600 * kSecond, ".txt"), Saved("Beans " + std::to_string(i)),
            kNow - i * 3600 * kSecond);
    TFormShelf shelf(Folder(), 0, *game->Library());
    shelf.show();
    shelf.resize(592, 600);
    QCoreApplication::processEvents();
    QListView& list = shelf.lstStories;
    list.setFocus();
    const auto shown = [&](int row) {
        return list.viewport()->rect().contains(list.visualRect(shelf.Model().index(row)));
    };
    const int columns = 3; // 172-pixel cards in 568 pixels
    Key(list, Qt::Key_PageDown);
    const int down = shelf.CurrentRow();
    EXPECT_GE(down, columns) << "at least a row of cards further";
    EXPECT_EQ(down % columns, 0) << "in the same column";
    EXPECT_TRUE(shown(down));
    EXPECT_FALSE(shown(0)) << "a screen further";
    for (int i = 0; i < 40; ++i)
        Key(list, Qt::Key_PageDown);
    EXPECT_EQ(shelf.CurrentRow(), 39);
    EXPECT_TRUE(shown(39));
    for (int i = 0; i < 40; ++i)
        Key(list, Qt::Key_PageUp);
    EXPECT_EQ(shelf.CurrentRow(), 0);
    EXPECT_EQ(list.verticalScrollBar()->value(), 0);
}

TEST_F(ShelfTest, TheBinAsksFirstIsTheDesktopsTrashAndUndoTakesTheStoryBack) {
    FillShelf();
    fbwtest::TempDir data;
    const EnvScope xdg("XDG_DATA_HOME", data.Path());
    const EnvScope homeDir("HOME", home.Path());
    // Hansel's story has a recorded voice beside it.
    const std::string voice = Folder() + "Hansel.txt voice/";
    ASSERT_TRUE(plat::MakeFolder(Folder() + "Hansel.txt voice"));
    fbwtest::WriteBytes(voice + "voice.idx", "fablewhirl voice 1\n");
    TFormShelf shelf(Folder(), 0, *game->Library());
    std::vector<std::string> shelfErrors;
    shelf.ShowError = [&](const std::string& m) { shelfErrors.push_back(m); };
    shelf.show();
    TShelfModel& m = shelf.Model();
    shelf.lstStories.setFocus();
    shelf.lstStories.setCurrentIndex(m.index(m.RowOf("Hansel.txt")));
    EXPECT_TRUE(m.index(m.RowOf("Hansel.txt")).data(TShelfModel::VoiceRole).toBool());
    EXPECT_TRUE(m.index(m.RowOf("Hansel.txt"))
                    .data(Qt::AccessibleTextRole)
                    .toString()
                    .startsWith("Story with a recorded voice: Hansel and Gretel"));
    EXPECT_FALSE(m.index(m.RowOf("Goldilox.txt")).data(TShelfModel::VoiceRole).toBool());
    // Delete asks first, as the button does: No keeps the story.
    {
        ScriptedMessages no({plat::MsgAnswer::No});
        Key(shelf.lstStories, Qt::Key_Delete);
        ASSERT_EQ(no.Shown().size(), 1u);
        EXPECT_EQ(no.Shown()[0].text, "Put \"Hansel and Gretel\" in the bin?");
    }
    EXPECT_TRUE(plat::FileExists(Folder() + "Hansel.txt"));
    EXPECT_FALSE(shelf.cmdUndo.isVisible()) << "nothing binned yet";
    {
        ScriptedMessages yes({plat::MsgAnswer::Yes});
        Key(shelf.lstStories, Qt::Key_Delete);
    }
    ASSERT_TRUE(shelfErrors.empty()) << shelfErrors[0];
    EXPECT_FALSE(plat::FileExists(Folder() + "Hansel.txt"));
    EXPECT_EQ(fbwtest::ReadBytes(data / "Trash/files/Hansel.txt"), Saved("Hansel and Gretel"));
    EXPECT_FALSE(plat::FolderExists(voice)) << "the voice goes to the bin with its story";
    EXPECT_TRUE(plat::FileExists(data / "Trash/files/Hansel.txt voice/voice.idx"));
    EXPECT_EQ(m.rowCount(), 4);
    EXPECT_EQ(m.RowOf("Hansel.txt"), -1);
    EXPECT_EQ(shelf.CurrentRow(), 2) << "the card after it is chosen";

    // Undo, pressed by Tab and Enter, puts it back and chooses it; the bin
    // is as it was.
    ASSERT_TRUE(shelf.cmdUndo.isVisible());
    shelf.cmdUndo.setFocus(Qt::TabFocusReason);
    Key(shelf.cmdUndo, Qt::Key_Return);
    ASSERT_TRUE(shelfErrors.empty()) << shelfErrors[0];
    EXPECT_EQ(fbwtest::ReadBytes(Folder() + "Hansel.txt"), Saved("Hansel and Gretel"));
    EXPECT_TRUE(plat::FileExists(voice + "voice.idx")) << "and comes back with it";
    EXPECT_TRUE(std::filesystem::is_empty(data / "Trash/files"));
    EXPECT_TRUE(std::filesystem::is_empty(data / "Trash/info"));
    EXPECT_EQ(shelf.CurrentRow(), m.RowOf("Hansel.txt"));
    EXPECT_FALSE(shelf.cmdUndo.isVisible()) << "only the last binned comes back";

    // The button asks too; Undo takes back the last of two, even from a
    // shelf showing another tale.
    const std::string kept = Dated("Goldilox", kNow - 3 * kDay, ".txt");
    {
        ScriptedMessages yes({plat::MsgAnswer::Yes, plat::MsgAnswer::Yes});
        QTest::mouseClick(&shelf.cmdBin, Qt::LeftButton);
        shelf.lstStories.setCurrentIndex(m.index(m.RowOf(kept)));
        shelf.cmdBin.setFocus(Qt::TabFocusReason);
        Key(shelf.cmdBin, Qt::Key_Enter);
        EXPECT_EQ(yes.Shown().size(), 2u);
    }
    EXPECT_FALSE(plat::FileExists(Folder() + "Hansel.txt"));
    EXPECT_FALSE(plat::FileExists(Folder() + kept));
    shelf.cboTale.setCurrentIndex(4);
    QTest::mouseClick(&shelf.cmdUndo, Qt::LeftButton);
    ASSERT_TRUE(shelfErrors.empty()) << shelfErrors[0];
    EXPECT_TRUE(plat::FileExists(Folder() + kept));
    EXPECT_FALSE(plat::FileExists(Folder() + "Hansel.txt"));
    EXPECT_EQ(shelf.cboTale.currentIndex(), 0);
    EXPECT_EQ(shelf.CurrentRow(), m.RowOf(kept));

    // Where there is no trash: No keeps the file, Yes removes it for good,
    // and there is nothing to undo.
    shelf.MoveToTrash = [](const std::string&, std::string&) { return false; };
    {
        ScriptedMessages no({plat::MsgAnswer::Yes, plat::MsgAnswer::No});
        QTest::mouseClick(&shelf.cmdBin, Qt::LeftButton);
        ASSERT_EQ(no.Shown().size(), 2u);
        EXPECT_NE(no.Shown()[1].text.find("no bin"), std::string::npos);
    }
    EXPECT_TRUE(plat::FileExists(Folder() + kept));
    {
        ScriptedMessages yes({plat::MsgAnswer::Yes, plat::MsgAnswer::Yes});
        Key(shelf.lstStories, Qt::Key_Delete);
    }
    EXPECT_FALSE(plat::FileExists(Folder() + kept));
    EXPECT_EQ(m.rowCount(), 3);
    EXPECT_FALSE(shelf.cmdUndo.isVisible());
    EXPECT_TRUE(shelfErrors.empty());
}

TEST_F(ShelfTest, CtrlOOnTheSceneOpensTheShelfAndAStoryOpensItsBook) {
    FillShelf();
    game->SetWindows(nullptr, book.get());
    std::vector<std::string> shown;
    game->ShowModal = [&](QDialog& d) {
        shown.push_back(FromQString(d.objectName()));
        if (auto* shelf = dynamic_cast<TFormShelf*>(&d)) {
            EXPECT_EQ(shelf->cboTale.currentText(), "All tales");
            shelf->lstStories.setCurrentIndex(
                shelf->Model().index(shelf->Model().RowOf("Hansel.txt")));
            QTest::mouseClick(&shelf->cmdOpen, Qt::LeftButton);
        } else {
            Show();
        }
    };
    game->FormKeyDown(Qt::Key_O, Qt::ControlModifier);
    EXPECT_EQ(shown, (std::vector<std::string>{"FormShelf", "FormBook"}));
    ASSERT_TRUE(errors.empty()) << errors[0];
    EXPECT_EQ(book->TaleNumber, 3);
    EXPECT_EQ(book->CurrentPage(), 1);
    EXPECT_EQ(StoryTitle(book->StoryText()), "Hansel and Gretel");
}

// Pictures of the shelf for people to look at (not run by default): with
// FBW_SHOTS naming a folder, the cover with its buttons and the shelf with
// three stories and two books at the smallest size and large, and with a
// thousand stories.
TEST_F(ShelfTest, DISABLED_Shots) {
    const char* out = std::getenv("FBW_SHOTS");
    ASSERT_NE(out, nullptr);
    const std::string dir = std::string(out) + "/";
    FillShelf();
    Open(2);
    book->grab().save(ToQString(dir + "cover-592x418.png"));
    {
        TFormShelf shelf(Folder(), 2, *game->Library());
        shelf.show();
        shelf.grab().save(ToQString(dir + "shelf-tale-592x418.png"));
        shelf.cboTale.setCurrentIndex(0);
        shelf.grab().save(ToQString(dir + "shelf-all-592x418.png"));
        shelf.resize(1920, 1040);
        QCoreApplication::processEvents();
        shelf.grab().save(ToQString(dir + "shelf-all-1920x1040.png"));
    }
    for (int i = 0; i < 1000; ++i)
        Put(Dated(TTaleTable::ShortName(1 + i % 10), kNow - (i + 10) * 3600 * kSecond, ".txt"),
            Saved("Story number " + std::to_string(i + 1)), kNow - (i + 10) * 3600 * kSecond);
    TFormShelf shelf(Folder(), 0, *game->Library());
    shelf.show();
    shelf.grab().save(ToQString(dir + "shelf-1000-592x418.png"));
    shelf.resize(1920, 1040);
    QCoreApplication::processEvents();
    shelf.grab().save(ToQString(dir + "shelf-1000-1920x1040.png"));
    shelf.lstStories.scrollToBottom();
    shelf.grab().save(ToQString(dir + "shelf-1000-end-1920x1040.png"));
}

TEST_F(ShelfTest, SaveStoryKeepsTheStoryItReplacesOnTheShelf) {
    OpenWith(2, Story(20, "The first bears"));
    fbwtest::Commands(*book).cmdSaveClick();
    const std::string path = Folder() + "Goldilox.txt";
    const int64_t yesterday = (int64_t(std::time(nullptr)) - 86400) * kSecond;
    ASSERT_TRUE(plat::SetFileModTime(path, yesterday));
    fbwtest::Commands(*book).cmdSaveClick(); // the same story again: no copy
    ASSERT_TRUE(plat::SetFileModTime(path, yesterday));
    book->SetStory(Story(20, "The second bears"));
    fbwtest::Commands(*book).cmdSaveClick();
    ASSERT_TRUE(errors.empty()) << errors[0];
    TShelfModel model(Folder());
    EXPECT_EQ(Titles(model), (std::vector<std::string>{"The second bears", "The first bears"}));
    EXPECT_EQ(model.RowOf(Dated("Goldilox", yesterday, ".txt")), 1);
}

TEST_F(ShelfTest, TheBinTakesExactlyTheFileOnTheCard) {
    // A link that leads nowhere beside a story whose name differs only in case.
    std::filesystem::create_directories(Folder());
    const std::string link = Dated("Goldilox", kNow, ".txt");
    std::string other = link;
    other[0] = 'g';
    std::filesystem::create_symlink(Folder() + "gone.txt", Folder() + link);
    Put(other, Saved("The other bears"), kNow - kDay);
    TFormShelf shelf(Folder(), 0, *game->Library());
    shelf.ShowError = [&](const std::string& m) { errors.push_back(m); };
    // No bin takes a link.
    shelf.MoveToTrash = [](const std::string&, std::string&) { return false; };
    shelf.show();
    TShelfModel& m = shelf.Model();
    ASSERT_EQ(m.rowCount(), 2);
    shelf.lstStories.setCurrentIndex(m.index(m.RowOf(link)));
    fbwtest::MessageCapture messages(plat::MsgAnswer::Yes);
    QTest::mouseClick(&shelf.cmdBin, Qt::LeftButton);
    ASSERT_TRUE(errors.empty()) << errors[0];
    EXPECT_EQ(messages.Messages().size(), 1u) << "nothing is lost with a link to nothing";
    EXPECT_FALSE(std::filesystem::is_symlink(Folder() + link));
    EXPECT_EQ(fbwtest::ReadBytes(Folder() + other), Saved("The other bears"));
    EXPECT_EQ(Titles(m), (std::vector<std::string>{"The other bears"}));
}

TEST_F(ShelfTest, AStoryOpenedFromTheShelfIsSavedBackToItsOwnFile) {
    FillShelf();
    const std::string kept = Dated("Goldilox", kNow - 3 * kDay, ".txt");
    Open(2);
    book->ReadStoryFile(2, Folder() + kept);
    book->ShowPages(book->Book().PageCount() | 1);
    QTest::mouseClick(&fbwtest::Child<QPushButton>(*book, "cmdSave"), Qt::LeftButton);
    ASSERT_TRUE(errors.empty()) << errors[0];
    TShelfModel model(Folder());
    EXPECT_EQ(model.rowCount(), 5) << "no second copy of the story";
    EXPECT_EQ(fbwtest::ReadBytes(Folder() + "Goldilox.txt"),
              Saved("Goldilocks and the Three Bears"));
    EXPECT_EQ(fbwtest::ReadBytes(Folder() + kept), Saved("The first bears"));
}

TEST_F(ShelfTest, AStoryWithLettersTheBookCannotShowSaysSoAndKeepsItsFile) {
    std::filesystem::create_directories(Folder());
    const std::string path = Folder() + "Goldilox.txt";
    const std::string edited =
        "\xC5\x81ucja and the bears \xE2\x9D\xA4\r\n\r\nOnce upon a time.\r\n";
    Put("Goldilox.txt", edited, kNow);
    Open(2);
    {
        fbwtest::MessageCapture messages;
        QTest::mouseClick(&fbwtest::Child<QPushButton>(*book, "cmdReadSaved"), Qt::LeftButton);
        ASSERT_EQ(messages.Messages().size(), 1u);
        EXPECT_NE(messages.Messages()[0].text.find("cannot be shown"), std::string::npos);
    }
    EXPECT_EQ(StoryTitle(book->StoryText()), "?ucja and the bears ?");
    book->ShowPages(book->Book().PageCount() | 1);
    QTest::mouseClick(&fbwtest::Child<QPushButton>(*book, "cmdSave"), Qt::LeftButton);
    ASSERT_TRUE(errors.empty()) << errors[0];
    EXPECT_EQ(fbwtest::ReadBytes(Folder() + Dated("Goldilox", kNow, ".txt")), edited);
    EXPECT_EQ(ReadSavedStoryText(fbwtest::ReadBytes(path)), book->StoryText());
}

TEST_F(ShelfTest, AStoriesFolderNamedInAnyLettersTakesEveryKeepsake) {
    for (const char* docs :
         {"Skj\xC3\xB6l", "\xD0\x94\xD0\xBE\xD0\xBA\xD1\x83\xD0\xBC\xD0\xB5\xD0\xBD"
                          "\xD1\x82\xD1\x8B"}) {
        book->StoriesFolder = home / (std::string(docs) + "/Fablewhirl Stories/");
        OpenWith(2, Story(20, "Bears abroad"));
        book->ShowPages(book->Book().PageCount() | 1);
        QTest::mouseClick(&fbwtest::Child<QPushButton>(*book, "cmdSave"), Qt::LeftButton);
        ASSERT_TRUE(errors.empty()) << errors[0];
        EXPECT_EQ(fbwtest::ReadBytes(Folder() + "Goldilox.txt"),
                  MakeSavedStoryFile(book->StoryText()));
        const std::string pdf = fbwtest::Keepsakes(*book).MakePictureBook();
        EXPECT_EQ(pdf.substr(0, Folder().size()), Folder());
        EXPECT_TRUE(plat::FileExists(pdf, plat::Lookup::Exact));
        TShelfModel model(Folder());
        EXPECT_EQ(model.rowCount(), 2);
        EXPECT_EQ(model.index(0)
                      .data(TShelfModel::PathRole)
                      .toString()
                      .toStdString()
                      .substr(0, Folder().size()),
                  Folder());
    }
}
