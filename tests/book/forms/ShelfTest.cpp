// "My stories": the shelf's model over a folder of the test's own (its
// order, the tale filter, a file that cannot be read, files that appear,
// change and go while it is open, a folder not made yet), the cover's
// button, opening, binning and cancelling through the named components and
// the keyboard with a trash of the test's own, the main window's Ctrl+O,
// the cards' names for screen readers and the tales' pictures loaded once.
#include <QAccessible>
#include <QSignalSpy>
#include <ctime>
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
              "Picture book: Goldilocks in pictures, Goldilox, " +
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
        EXPECT_EQ(shelf.cboTale.currentText(), "Goldilox");
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

TEST_F(ShelfTest, BooksOpenInTheViewerAndUnreadableFilesSaySo) {
    FillShelf();
    std::filesystem::create_symlink(Folder() + "nowhere", Folder() + "Rumpel.txt");
    TFormShelf shelf(Folder(), 0, *game->Library());
    std::vector<std::string> shelfErrors, opened;
    shelf.ShowError = [&](const std::string& m) { shelfErrors.push_back(m); };
    shelf.OpenDocument = [&](const std::string& path) {
        opened.push_back(path);
        return true;
    };
    bool storyOpened = false;
    shelf.OpenStory = [&](int, const std::string&) { storyOpened = true; };
    shelf.show();
    const TShelfModel& m = shelf.Model();
    shelf.lstStories.setCurrentIndex(m.index(m.RowOf(Dated("Goldilox", kNow, ".pdf"))));
    Key(shelf.lstStories, Qt::Key_Enter);
    EXPECT_EQ(opened, std::vector<std::string>{Folder() + Dated("Goldilox", kNow, ".pdf")});
    EXPECT_TRUE(shelf.isVisible()) << "the shelf stays for the next";

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
    // date.
    QAccessibleInterface* list = QAccessible::queryAccessibleInterface(&shelf.lstStories);
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(list->role(), QAccessible::List);
    ASSERT_EQ(list->childCount(), 6);
    const QString date = m.index(0).data(TShelfModel::DateRole).toString();
    EXPECT_EQ(list->child(0)->text(QAccessible::Name),
              "Picture book: Goldilocks in pictures, Goldilox, " + date);
}

TEST_F(ShelfTest, TheBinIsTheDesktopsTrashOrAsksFirst) {
    FillShelf();
    fbwtest::TempDir data;
    const EnvScope xdg("XDG_DATA_HOME", data.Path());
    const EnvScope homeDir("HOME", home.Path());
    TFormShelf shelf(Folder(), 0, *game->Library());
    std::vector<std::string> shelfErrors;
    shelf.ShowError = [&](const std::string& m) { shelfErrors.push_back(m); };
    shelf.show();
    TShelfModel& m = shelf.Model();
    shelf.lstStories.setFocus();
    shelf.lstStories.setCurrentIndex(m.index(m.RowOf("Hansel.txt")));
    Key(shelf.lstStories, Qt::Key_Delete);
    ASSERT_TRUE(shelfErrors.empty()) << shelfErrors[0];
    EXPECT_FALSE(plat::FileExists(Folder() + "Hansel.txt"));
    EXPECT_EQ(fbwtest::ReadBytes(data / "Trash/files/Hansel.txt"), Saved("Hansel and Gretel"));
    EXPECT_EQ(m.rowCount(), 4);
    EXPECT_EQ(m.RowOf("Hansel.txt"), -1);
    EXPECT_EQ(shelf.CurrentRow(), 2) << "the card after it is chosen";

    // Where there is no trash: No keeps the file, Yes removes it.
    shelf.MoveToTrash = [](const std::string&) { return false; };
    const std::string kept = Dated("Goldilox", kNow - 3 * kDay, ".txt");
    shelf.lstStories.setCurrentIndex(m.index(m.RowOf(kept)));
    {
        fbwtest::MessageCapture no(plat::MsgAnswer::No);
        QTest::mouseClick(&shelf.cmdBin, Qt::LeftButton);
        ASSERT_EQ(no.Messages().size(), 1u);
        EXPECT_NE(no.Messages()[0].text.find("no bin"), std::string::npos);
    }
    EXPECT_TRUE(plat::FileExists(Folder() + kept));
    {
        fbwtest::MessageCapture yes(plat::MsgAnswer::Yes);
        Key(shelf.lstStories, Qt::Key_Delete);
    }
    EXPECT_FALSE(plat::FileExists(Folder() + kept));
    EXPECT_EQ(m.rowCount(), 3);
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
    shelf.MoveToTrash = [](const std::string&) { return false; }; // no bin takes a link
    shelf.show();
    TShelfModel& m = shelf.Model();
    ASSERT_EQ(m.rowCount(), 2);
    shelf.lstStories.setCurrentIndex(m.index(m.RowOf(link)));
    fbwtest::MessageCapture messages(plat::MsgAnswer::Yes);
    QTest::mouseClick(&shelf.cmdBin, Qt::LeftButton);
    ASSERT_TRUE(errors.empty()) << errors[0];
    EXPECT_TRUE(messages.Messages().empty()) << "nothing is lost with a link to nothing";
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
