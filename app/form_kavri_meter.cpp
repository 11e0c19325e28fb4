// The window's initial controls and the model revision.
#include "app/form_kavri_meter.h"

#include "app/texts.h"

namespace kavri {
namespace {

// The window's model keeps the code page: a fixed text enters it as code-page text, which an
// ASCII constant is as it stands (a text outside ASCII does not compile here).
std::string Kept(const CodePageText& text) { return text.str(); }

}  // namespace

formKavriMeter::formKavriMeter(Platform platform)
    : imageWatch(platform.kernel, platform.files, platform.codePage, platform.background), os_(platform) {
    Caption = Kept(texts::kCaption);
    btnRefresh.caption = Kept(texts::kRefresh);
    Timer1 = PollTimer{30000, true};
    PadTimer = PollTimer{1000, false};
    Label1 = Label(Kept(texts::kTitle));
    lblCredits = Label(Kept(texts::kAuthorCredit), Kept(texts::kFirstWebPage));
    for (int i = 0; i < 8; ++i) {
        lblTimes[i] = Label("0");
        lblTime[i] = Label("0h 0m", "0");
        lblDay[i] = Label(texts::kDayHeadings[i]);  // ASCII: checked in app/texts.h
    }
    lblTimesUsed = Label(Kept(texts::kLastUsed));
    lblGames = Label(Kept(texts::kPlayedGames));
    mnuMain = Menu{"", {{"mnuShow", texts::kMenuShow},
                        {"mnuSep", "-"},
                        {"mnuAbout", texts::kMenuAbout},
                        {"mnuSep1", "-"},
                        {"mnuExit", texts::kMenuExit}}};
}

std::uint64_t formKavriMeter::ModelRevision() const {
    std::uint64_t sum = lstGames.Revision() + lstTimes.Revision();
    for (int i = 0; i < 8; ++i) sum += lblTimes[i].Revision() + lblTime[i].Revision();
    return sum;
}

bool formKavriMeter::FileExists(const std::string& path) {
    const auto length = os_.files.FileLen(path);
    return length && *length > 0;
}

}  // namespace kavri
