// A saved story survives a crash in the middle of "Save story": the
// storybook's own save handler is killed a hundred times while it replaces a
// story saved before, and after every kill the file is the old story or the
// new one, whole, "Read saved story" reads it back, and so are the stories
// kept beside it.
#include "app/AppFixture.h"
#include "app/FormGame.h"
#include "book/forms/BookAccess.h"
#include "book/forms/CommandsPart.h"
#include "book/forms/FormBook.h"
#include "book/forms/LettersPart.h"
#include "book/forms/PagePainter.h"
#include "book/forms/ReadToMePart.h"
#include "book/forms/TwistsPart.h"
#include "platform/Files.h"
#include "shelf/StoryShelf.h"
#include "story/Generate.h"
#include "story/StoryText.h"
#include "support/BookParts.h"
#include "support/KillHarness.h"

namespace {

std::string Story(const std::string& hero) {
    std::string s = "Goldilocks and the Three Bears\\n\\n\r\n";
    for (int p = 0; p < 30; ++p)
        s += "Once upon a time " + hero +
             " walked into the forest and found a little house with a red door, and in it three "
             "bowls of porridge on the table.\\n\\n\r\n";
    return s;
}

} // namespace

using SaveCrashTest = AppFixture;

TEST_F(SaveCrashTest, AKilledSaveKeepsTheOldStoryOrTheNewOneWhole) {
    fbwtest::MessageCapture quiet;
    TFormGame game;
    ASSERT_TRUE(game.Loaded());
    fbwtest::TempDir dir;
    auto makeBook = [&](const std::string& story) {
        auto book = std::make_unique<TFormBook>(*game.Generator(), *game.Library());
        book->TaleNumber = 2;
        book->StoriesFolder = dir.Path();
        book->ShowError = [](const std::string& e) { ADD_FAILURE() << e; };
        if (!story.empty())
            book->SetStory(story);
        return book;
    };
    auto oldBook = makeBook(Story("Goldilocks")), newBook = makeBook(Story("Rumpelstiltskin"));
    auto reader = makeBook("");
    const std::string path = dir / "Goldilox.txt";
    EXPECT_EQ(oldBook->SavedStoryPath(), path);

    fbwtest::FileWriter w{path, [&] { fbwtest::Commands(*oldBook).cmdSaveClick(); },
                          [&] { fbwtest::Commands(*newBook).cmdSaveClick(); },
                          [&] {
                              reader->cmdReadSavedClick();
                              const std::string& read = reader->StoryText();
                              if (read != oldBook->StoryText() && read != newBook->StoryText())
                                  return std::string("a story that was never saved");
                              // The stories kept beside it are whole too.
                              TStoryShelf shelf(dir.Path());
                              shelf.Refresh();
                              for (const TStoryShelf::Item& i : shelf.Items()) {
                                  std::string bytes;
                                  plat::ReadWholeFile(shelf.PathOf(i), bytes);
                                  const std::string kept = ReadSavedStoryText(bytes);
                                  if (kept != oldBook->StoryText() && kept != newBook->StoryText())
                                      return "a kept story that was never saved: " + i.fileName;
                              }
                              return std::string();
                          }};
    const fbwtest::KillCounts c = fbwtest::KillWrites(w, 100, 5);
    fbwtest::ReportKills("saved story (Save story)", c);
    EXPECT_EQ(c.rounds, 100);
    EXPECT_GT(c.killedMidWrite, 10) << "too few kills fell inside the write";
    EXPECT_GT(c.old, 0);
    EXPECT_GT(c.fresh, 0);
}
