// fbwtool with Qt: the picture book drawn by the game's own painter, with the
// tale's picture from the game's image library.
#include "BookPdf.h"
#include "ToolApp.h"

#include <exception>
#include <stdexcept>

#include "image/LibraryImage.h"
#include "image/RL8Library.h"
#include "keepsake/qt/QtPictureBook.h"
#include "platform/qt/Latin1.h"
#include "platform/qt/QtFonts.h"
#include "story/TaleTable.h"

namespace {
// The tale's picture at the story's twist, in the library's colours.
QImage TalePicture(const BookPdfInput& input) {
    TRL8Library library;
    library.Open(input.libraryPath);
    const TLibraryImage picture(library, input.pictureName);
    const int side = TTaleTable::kPictureSide;
    const int top = input.pictureLevel * side;
    return QtPictureBook::PictureImage(*picture.Surface(), TRect{0, top, side, top + side},
                                       library.GetHPal());
}
} // namespace

bool MakeCoverPng(const BookPdfInput& input, int scale, std::string& png, std::string& error) {
    ToolApp();
    try {
        const QByteArray bytes = QtPictureBook::PicturePng(TalePicture(input), scale);
        if (bytes.isEmpty())
            throw std::runtime_error("the tale's picture could not be made");
        png.assign(bytes.constData(), static_cast<std::size_t>(bytes.size()));
        return true;
    } catch (const std::exception& e) {
        error = e.what();
        return false;
    }
}

bool MakeBookPdf(const BookPdfInput& input, std::string& pdf, std::string& error) {
    ToolApp();
    plat::InstallFontSubstitutes();
    try {
        const QImage image = TalePicture(input);
        const QByteArray bytes = QtPictureBook::MakePdf(
            input.story, {ToQString(input.face), input.points},
            TPictureBookPlan::PaperFor(QtPictureBook::LocaleUsesLetter()), image, input.booklet);
        pdf.assign(bytes.constData(), static_cast<std::size_t>(bytes.size()));
        return true;
    } catch (const std::exception& e) {
        error = e.what();
        return false;
    }
}
