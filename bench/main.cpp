// varnel-bench: how close the link comes to the wire, how fast firmware files
// load, and how long the window can go without a turn of its event loop.
// Machines are noisy: compare the ratios from run to run, not the seconds.
#include <CLI/CLI.hpp>

#include <QApplication>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>

#include "bench_result.h"
#include "link/connector.h"
#include "link_cases.h"
#include "link_wait_gaps.h"
#include "srecord_cases.h"

namespace {

using namespace varnel::bench;

std::string loadAverage() {
    std::ifstream in("/proc/loadavg");
    std::string one, five, fifteen;
    in >> one >> five >> fifteen;
    return one.empty() ? "unknown" : one + " " + five + " " + fifteen;
}

std::string seconds(double s) {
    char text[32];
    if (s < 1.0) std::snprintf(text, sizeof text, "%.1f ms", s * 1e3);
    else std::snprintf(text, sizeof text, "%.2f s", s);
    return text;
}

std::string jsonList(const std::vector<double>& v) {
    std::ostringstream out;
    out << "[";
    for (std::size_t i = 0; i < v.size(); ++i) out << (i ? ", " : "") << v[i];
    return out.str() + "]";
}

struct Row {
    std::string what, chip, adapter, measured, reference;
    double ratio;
    std::string traffic = "-", retries = "-";
};

void printTable(const std::vector<Row>& rows) {
    std::printf("%-31s %-6s %-8s %10s %20s %7s %9s %7s\n", "case", "chip", "adapter", "measured", "against", "ratio",
                "traffic", "retries");
    for (const Row& r : rows)
        std::printf("%-31s %-6s %-8s %10s %20s %7.2f %9s %7s\n", r.what.c_str(), r.chip.c_str(), r.adapter.c_str(),
                    r.measured.c_str(), r.reference.c_str(), r.ratio, r.traffic.c_str(), r.retries.c_str());
}

std::string bytesText(const std::vector<double>& runs) {
    if (runs.empty()) return "-";
    char text[32];
    const double b = median(runs);
    if (b < 10000) std::snprintf(text, sizeof text, "%.0f B", b);
    else std::snprintf(text, sizeof text, "%.0f kB", b / 1000);
    return text;
}

}  // namespace

int main(int argc, char** argv) {
    CLI::App app{"varnel-bench: the link against its wire-time bound, S-record loading, window waits"};
    int runs = 3;
    std::vector<int> latencies{0, 1, 16};
    std::string jsonPath = "bench-results.json";
    std::vector<std::string> only;
    std::vector<std::string> chips{"AP64", "AW60", "JL16", "JM128"};
    app.add_option("--runs", runs, "Runs of each case (the median is shown)")->check(CLI::Range(1, 50));
    app.add_option("--adapter-latency", latencies, "USB adapter latency timers to try, 0 for none")->delimiter(',');
    app.add_option("--json", jsonPath, "Where the results go as JSON");
    app.add_option("--only", only, "Run only some parts: link, srecord, window")->delimiter(',');
    int everyChipAt = 16;
    app.add_option("--chips", chips, "Chips whose firmware load is measured")->delimiter(',');
    app.add_option("--every-chip-at", everyChipAt,
                   "Adapter latency at which every chip's firmware load is measured (default 16, "
                   "Windows' own latency timer)");
    double noiseBer = 1e-4;
    int noisyRuns = 5;
    bool smoke = false;
    app.add_option("--noise-ber", noiseBer, "Bit error rate of the noisy-line rows (settings read and write; 0: none)")
        ->check(CLI::Range(0.0, 0.01));
    app.add_option("--noisy-runs", noisyRuns, "Runs of each noisy-line case, each with its own seed")
        ->check(CLI::Range(0, 100));
    app.add_flag("--smoke", smoke,
                 "A quick pass through every kind of case (one run each, no adapter, AP64 and JM128): "
                 "that each works, not what it costs");
    CLI11_PARSE(app, argc, argv);
    if (smoke) {
        runs = 1;
        latencies = {0};
        chips = {"AP64", "JM128"};
        everyChipAt = -1;
        noisyRuns = std::min(noisyRuns, 2);
    }
    const auto wanted = [&](const char* part) {
        return only.empty() || std::find(only.begin(), only.end(), part) != only.end();
    };

    const std::string loadBefore = loadAverage();
    std::fprintf(stderr, "varnel-bench: %d run(s) a case, load average %s\n", runs, loadBefore.c_str());
    std::vector<Row> rows;
    std::ostringstream json;
    json << "{\n  \"runs\": " << runs << ",\n  \"loadAverageBefore\": \"" << loadBefore << "\"";

    bool ok = true;
    char startUpNote[160] = "";
    std::string noisyNotes;
    if (wanted("link")) {
        const auto cases = runLinkCases(runs, latencies, chips, everyChipAt, noiseBer, noisyRuns);
        json << ",\n  \"link\": [";
        for (std::size_t i = 0; i < cases.size(); ++i) {
            const CaseRuns& c = cases[i];
            const double ratio = medianRatio(c);
            const std::string adapter = c.adapterLatencyMs ? std::to_string(c.adapterLatencyMs) + " ms" : "none";
            const bool noisy = c.noiseBer > 0;
            const bool measured = noisy ? !c.seconds.empty() : c.failure.empty();
            char retries[16] = "-";
            if (noisy && c.retries >= 0) std::snprintf(retries, sizeof retries, "%.0f", c.retries);
            rows.push_back({c.name, c.chip, adapter, measured ? seconds(median(c.seconds)) : "failed",
                            seconds(median(c.boundSeconds)) + (c.adapterLatencyMs ? " wire+timer" : " wire"), ratio,
                            bytesText(c.trafficBytes), retries});
            // A noisy line may defeat the link; that is what its row counts.
            ok = ok && (noisy || c.failure.empty());
            if (noisy) {
                char note[256];
                std::snprintf(note, sizeof note,
                              "%s at bit error rate %g: %zu of %d run(s) right, %d failed, %d ended in success "
                              "with wrong bytes%s%s\n",
                              c.name.c_str(), c.noiseBer, c.seconds.size(), static_cast<int>(c.commands.size()),
                              c.failed, c.wrong, c.failure.empty() ? "" : "; first: ", c.failure.c_str());
                noisyNotes += note;
            }
            json << (i ? "," : "") << "\n    {\"case\": \"" << c.name << "\", \"chip\": \"" << c.chip
                 << "\", \"adapterLatencyMs\": " << c.adapterLatencyMs << ", \"seconds\": " << jsonList(c.seconds)
                 << ", \"boundSeconds\": " << jsonList(c.boundSeconds) << ", \"ratio\": " << ratio
                 << ", \"trafficBytes\": " << jsonList(c.trafficBytes) << ", \"commands\": " << jsonList(c.commands)
                 << ", \"noiseBer\": " << c.noiseBer << ", \"failed\": " << c.failed << ", \"wrong\": " << c.wrong
                 << ", \"retries\": " << c.retries << ", \"failure\": \"" << c.failure << "\"}";
        }
        json << "\n  ]";
    }
    if (wanted("srecord")) {
        const auto loads = runSRecordCases(smoke ? 1 : std::max(runs, 5));
        json << ",\n  \"srecord\": [";
        for (std::size_t i = 0; i < loads.size(); ++i) {
            const SRecordRun& r = loads[i];
            if (r.records == "start-up") {
                std::snprintf(startUpNote, sizeof startUpNote,
                              "srec_cat's times include starting the process: %s on a header-only file.\n",
                              seconds(r.srecCatSeconds).c_str());
                json << ",\n    {\"records\": \"start-up\", \"srecCatSeconds\": " << r.srecCatSeconds << "}";
                continue;
            }
            char what[64];
            std::snprintf(what, sizeof what, "S-record load, %s %.2f MB", r.records.c_str(), r.fileMegabytes);
            const bool compared = r.srecCatSeconds > 0;
            rows.push_back({what, "-", "-", seconds(r.oursSeconds),
                            compared ? seconds(r.srecCatSeconds) + " srec_cat" : "(no srec_cat)",
                            compared ? r.oursSeconds / r.srecCatSeconds : 0.0});
            ok = ok && r.failure.empty();
            if (!r.failure.empty()) std::fprintf(stderr, "  %s\n", r.failure.c_str());
            json << (i ? "," : "") << "\n    {\"records\": \"" << r.records
                 << "\", \"fileMegabytes\": " << r.fileMegabytes << ", \"seconds\": " << r.oursSeconds
                 << ", \"srecCatSeconds\": " << r.srecCatSeconds << ", \"failure\": \"" << r.failure << "\"}";
        }
        json << "\n  ]";
    }
    if (wanted("window")) {
        if (!std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 1);
        QApplication qt(argc, argv);
        const WaitGap connect = gapDuringSilentConnect(2000);
        const WaitGap write = gapDuringSettingsWrite();
        constexpr double kLimitMs = 50.0;
        rows.push_back({"event-loop gap, connect", "AP64", "none", seconds(connect.longestGapMs / 1e3), "50 ms limit",
                        connect.longestGapMs / kLimitMs});
        rows.push_back({"event-loop gap, settings write", "AP64", "none", seconds(write.longestGapMs / 1e3),
                        "50 ms limit", write.longestGapMs / kLimitMs});
        ok = ok && connect.result == static_cast<int>(varnel::ConnectResult::Aborted) && write.result == 0;
        json << ",\n  \"eventLoopGapMs\": {\"connect\": " << connect.longestGapMs
             << ", \"settingsWrite\": " << write.longestGapMs << "}";
    }
    const std::string loadAfter = loadAverage();
    json << ",\n  \"loadAverageAfter\": \"" << loadAfter << "\"\n}\n";

    std::printf("\nratio: measured / against (wire: every byte at 10 bits over its line speed plus the\n"
                "model's erase and program times; wire+timer: behind an adapter, plus what its latency\n"
                "timer must hold back of every answer the link waits for). Load average %s before,\n"
                "%s after.\n\n",
                loadBefore.c_str(), loadAfter.c_str());
    printTable(rows);
    std::printf("traffic: bytes on the wire both ways, every read, verification and retry included;\n"
                "retries: commands beyond the clean line's.\n%s%s",
                noisyNotes.c_str(), startUpNote);
    if (wanted("srecord"))
        std::printf("The file loader passes over S3 records above 0x20000 (the chips take none), so half\n"
                    "of the S3 file is skipped once its address is read; srec_cat loads all of it.\n");
    std::ofstream(jsonPath) << json.str();
    std::printf("\nresults also in %s\n", jsonPath.c_str());
    return ok ? 0 : 1;
}
