// One undoable edit and its undo over a MovieObject.bdmv of 50,000 lines, as the BDMV page
// makes them (without the redraw): a line insert keeps its object, an object insert keeps
// both files.
#include "app/EditHistory.h"
#include "navigation/NavigationEdit.h"

#include <benchmark/benchmark.h>

namespace {

using namespace corvane;

// `objects` objects of `lines` lines each.
TMOBJ program(std::size_t objects, std::size_t lines) {
    TMOBJ mobj;
    mobj.type_indicator = "MOBJ";
    mobj.version_number = "0200";
    mobj.MovieObjects.mobjs.resize(objects);
    for (Tmobject& object : mobj.MovieObjects.mobjs) {
        object.navigation_commands.assign(lines, TNavCommand{0x50400001, 1, 2});
        object.number_of_navigation_commands = static_cast<std::uint16_t>(lines);
    }
    mobj.MovieObjects.number_of_mobjs = static_cast<std::uint16_t>(objects);
    return mobj;
}

void BM_InsertLineUndo(benchmark::State& state) {
    const auto objects = static_cast<std::size_t>(state.range(0));
    Session session;
    session.mobj = program(objects, 50'000 / objects);
    EditHistory history(session);
    QUndoStack* stack = history.stack(EditedDocument::Navigation);
    const std::size_t object = objects / 2;
    for (auto _ : state) {
        std::size_t lines = 0;
        {
            EditScope edit(&history, EditedDocument::Navigation, QStringLiteral("Insert line"));
            edit.keep([&session, object]() -> Tmobject& { return session.mobj.MovieObjects.mobjs[object]; });
            insertCommandLine(session.mobj, object, 3);
            lines = session.mobj.MovieObjects.mobjs[object].navigation_commands.size();
        }
        stack->undo();
        if (lines != 50'000 / objects + 1 || stack->index() != 0)
            state.SkipWithError("the insert did not run");
    }
    state.counters["objects"] = static_cast<double>(objects);
}
// 6 objects of 8,333 lines (an object holds at most 9,999) and 1,000 objects of 50.
BENCHMARK(BM_InsertLineUndo)->Arg(6)->Arg(1000)->Unit(benchmark::kMicrosecond);

void BM_InsertObjectUndo(benchmark::State& state) {
    Session session;
    session.mobj = program(1000, 50);
    session.index.Indexes.titles.resize(100);
    EditHistory history(session);
    QUndoStack* stack = history.stack(EditedDocument::Navigation);
    for (auto _ : state) {
        {
            EditScope edit(&history, EditedDocument::Navigation, QStringLiteral("Insert object"));
            edit.keep([&session]() -> TMOBJ& { return session.mobj; });
            edit.keep([&session]() -> TINDX& { return session.index; });
            insertMovieObject(session.mobj, session.index, 500);
        }
        stack->undo();
    }
}
BENCHMARK(BM_InsertObjectUndo)->Unit(benchmark::kMicrosecond);

} // namespace
