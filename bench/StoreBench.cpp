// Reading a whole table of 10 000 alarms, as a list fill or a minute check
// does: OpenQuery, then GetFieldText of all seven columns of every row.
#include "bench/BenchDatabase.h"
#include "storage/Statements.h"

namespace {

void BM_StoreReadWholeMemoTable(benchmark::State& state) {
    if (!bench::DatabaseReady(state)) return;
    size_t nRows = 0;
    for (auto _ : state) {
        nRows = 0;
        auto rs = OpenQuery(MemoSelectSql());
        for (; !rs->IsEOF(); rs->MoveNext()) {
            MemoRecord rec = ReadMemoRecord(*rs);
            benchmark::DoNotOptimize(rec);
            ++nRows;
        }
        rs->Close();
    }
    if (nRows != static_cast<size_t>(bench::kRows)) state.SkipWithError("wrong number of rows read");
    state.counters["rows"] = static_cast<double>(nRows);
}
BENCHMARK(BM_StoreReadWholeMemoTable)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) { return bench::RunBenchmarks(argc, argv); }
