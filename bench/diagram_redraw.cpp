// bendwise_bench_redraw: how soon an open curve diagram shows a new entry. Each entry is
// handed to the engine as leaving its field would hand it; the time runs from there until
// the diagram has been repainted with the new drawing (a synchronous repaint, so the
// paint is inside the time). Entries cycle through curves that change the drawing every
// time: right and left, 30 to 359 degrees, radii from 40 to 1e13.
//
// usage: bendwise_bench_redraw [ENTRIES] [all]
//   ENTRIES  how many entries to time (default 300)
//   all      the length illustration and the stations window are open as well
// Prints one line: "redraw_us median M p95 P max X entries N". Run on QT_QPA_PLATFORM=offscreen.
#include <QAbstractButton>
#include <QApplication>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "frontend/CurveControls.h"
#include "ui/CurveDlg.h"
#include "ui/CurveWindow.h"
#include "ui/DialogLook.h"
#include "ui/Platform.h"

namespace {

// Answers nothing and shows nothing: only the engine and the windows are timed.
class SilentPlatform : public bendwise::CPlatform {
  public:
    void ShowMessage(QWidget*, const QString&) override {}
    void PlaySound(bendwise::Sound) override {}
    std::optional<QString> AskSaveFile(QWidget*, const QString&) override { return std::nullopt; }
    void ExitProcess(int) override {}
    std::optional<QString> AskSaveFileOfType(QWidget*, const QString&, const QString&,
                                             const QList<bendwise::FileType>&) override {
        return std::nullopt;
    }
};

struct Entry {
    bendwise::Field field;
    const char* text;
    bool left;
};

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    const int entries = argc > 1 ? std::max(1, std::atoi(argv[1])) : 300;
    const bool all = argc > 2 && std::strcmp(argv[2], "all") == 0;

    using bendwise::Field;
    bendwise::CCurveMemory memory;
    SilentPlatform platform;
    bendwise::CCurveDlg dlg(&memory, platform);
    dlg.show();
    std::vector<int> windows = {bendwise::IDC_CURVE_DIAGRAM};
    if (all) {
        windows.push_back(bendwise::IDC_LENGTH_ILLUSTRATION);
        windows.push_back(bendwise::IDC_STATIONS_STAKEOUT);
    }
    for (int id : windows) static_cast<QAbstractButton*>(dlg.Control(id))->click();
    for (int i = 0; i < 20; ++i) QApplication::processEvents();

    const Entry cycle[] = {
        {Field::Delta, "30", false},       {Field::Radius, "1000", false},
        {Field::Delta, "200", true},       {Field::Radius, "40", true},
        {Field::Delta, "359.5959", false}, {Field::Radius, "1e13", false},
        {Field::Delta, "12.3015", true},   {Field::Radius, "5729.578", false},
        {Field::Delta, "90", false},       {Field::Radius, "300", true},
    };
    bendwise::CCurveModel& model = dlg.Model();
    std::vector<double> micros;
    for (int i = 0; i < entries; ++i) {
        const Entry& entry = cycle[i % (sizeof cycle / sizeof cycle[0])];
        const auto start = std::chrono::steady_clock::now();
        if ((model.Record().m_left != 0) != entry.left) model.OnLeft(entry.left);
        model.OnEnterKey();
        model.OnKillfocus(entry.field, entry.text);
        for (int id : windows) dlg.Window(id)->repaint();
        const auto end = std::chrono::steady_clock::now();
        micros.push_back(std::chrono::duration<double, std::micro>(end - start).count());
        QApplication::processEvents();
    }
    std::sort(micros.begin(), micros.end());
    auto at = [&micros](double q) {
        return micros[std::min(micros.size() - 1, static_cast<std::size_t>(q * micros.size()))];
    };
    std::printf("redraw_us median %.0f p95 %.0f max %.0f entries %d\n", at(0.5), at(0.95),
                micros.back(), entries);
    return 0;
}
