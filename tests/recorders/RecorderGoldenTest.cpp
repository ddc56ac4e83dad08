#include "converter/RecorderFormat.h"
#include "converter/URejestratorKMX685.h"
#include "fuzz/RecorderReference.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <optional>

namespace {

struct GoldenCase {
    const char* name; // of the .expected and .notes files
    RecorderFormat format;
    std::vector<std::string> inputs; // under recorders/
};

void PrintTo(const GoldenCase& c, std::ostream* os) {
    *os << c.name;
}

std::string Data(const std::string& name) {
    return ReadBytes(DataFile("recorders/" + name));
}

reference::Result Plain(RecorderFormat format, const std::vector<std::string>& files) {
    switch (format) {
    case RecorderFormat::NikonRaw:
        return reference::NikonRaw(files);
    case RecorderFormat::Sdr:
        return reference::Sdr(files);
    default:
        return reference::Gsi(files);
    }
}

RecorderFormat Recognised(const std::string& bytes) {
    return RecogniseStart(bytes).format;
}

// The conversion as the program runs it, `format` chosen (std::nullopt: by content).
struct Converted {
    ConversionResult result;
    std::string obsbieg;
    std::string notes; // "input:line: reason" lines, the input as the case names it
};

Converted Convert(std::optional<RecorderFormat> format, const std::vector<std::string>& inputs) {
    TempDir dir;
    std::vector<std::string> paths;
    for (const std::string& input : inputs) {
        paths.push_back(DataFile("recorders/" + input));
    }
    TRejestratorKMX685 converter;
    converter.SetInputFiles(paths);
    converter.SetFormat(format);
    converter.SetReportMode(TRejestratorKMX685::ReportMode::Beside);
    Converted c{converter.ConvertFiles(dir.File("OBSBIEG")), ReadBytes(dir.File("OBSBIEG")), {}};
    for (const ReportEntry& e : c.result.report.Entries()) {
        c.notes += inputs[e.file] + ":" + std::to_string(e.line) + ": " + e.reason + "\n";
    }
    return c;
}

const GoldenCase kNikon{"nikon",
                        RecorderFormat::NikonRaw,
                        {"nikon-metres-gons.raw", "nikon-feet-dms-horizon.raw",
                         "nikon-usfeet-mils.raw", "nikon-defaults.raw"}};
const GoldenCase kSdr{
    "sdr", RecorderFormat::Sdr, {"sdr33-gon-metres.sdr", "sdr2x-degrees-feet.sdr", "sdr-mils.sdr"}};
const GoldenCase kGsi{"gsi", RecorderFormat::Gsi, {"gsi8.gsi", "gsi16.gsi"}};

class RecorderGolden : public testing::TestWithParam<GoldenCase> {};

// Several files in one conversion: units, target height and station block start
// afresh in each; a file that looks like another format is converted as chosen.
TEST_P(RecorderGolden, ConvertsToTheExpectedBytesAndReportEntries) {
    const GoldenCase& c = GetParam();
    std::vector<std::string> files;
    for (const std::string& input : c.inputs) {
        files.push_back(Data(input));
    }
    const Converted converted = Convert(c.format, c.inputs);
    ASSERT_EQ(converted.result.status, ConversionStatus::Succeeded);
    EXPECT_EQ(converted.obsbieg, Data(std::string(c.name) + ".expected"));
    EXPECT_EQ(converted.notes, Data(std::string(c.name) + ".notes"));

    reference::Result plain = Plain(c.format, files);
    for (std::size_t f = files.size(); f-- > 0;) {
        const FileStart start = RecogniseStart(files[f]);
        if (start.format != c.format && start.format != RecorderFormat::Unknown) {
            const auto first = std::find_if(plain.entries.begin(), plain.entries.end(),
                                            [&](const auto& e) { return e.file >= f; });
            plain.entries.insert(first,
                                 {f, start.recorderLine, LooksLikeNote(start.format, c.format)});
        }
    }
    reference::Result program{converted.obsbieg,
                              {},
                              converted.result.summary.stations,
                              converted.result.summary.observations,
                              converted.result.summary.skippedLines};
    for (const ReportEntry& e : converted.result.report.Entries()) {
        program.entries.push_back({e.file, e.line, e.reason});
    }
    EXPECT_EQ(program, plain) << "the plain rendering disagrees";
}

INSTANTIATE_TEST_SUITE_P(
    Files, RecorderGolden,
    testing::Values(
        kNikon, kSdr, kGsi,
        // A KMX 685 file and a Nikon RAW file chosen as GSI.
        GoldenCase{"not-gsi", RecorderFormat::Gsi, {"../worked-example.txt", "manual-nikon.raw"}},
        // The examples of the manual's chapters.
        GoldenCase{"manual-nikon", RecorderFormat::NikonRaw, {"manual-nikon.raw"}},
        GoldenCase{"manual-sdr", RecorderFormat::Sdr, {"manual-sdr.sdr"}},
        GoldenCase{"manual-gsi", RecorderFormat::Gsi, {"manual-gsi.gsi"}}),
    [](const auto& info) {
        std::string name = info.param.name;
        std::replace(name.begin(), name.end(), '-', '_');
        return name;
    });

// Each file in the format it looks like: the same as each group converted on its
// own, one after the other.
TEST(RecorderGoldenByContent, EachFileInTheFormatItLooksLike) {
    std::vector<std::string> inputs;
    std::string obsbieg;
    std::string notes;
    for (const GoldenCase& c : {kGsi, kNikon, kSdr}) {
        inputs.insert(inputs.end(), c.inputs.begin(), c.inputs.end());
        obsbieg += Data(std::string(c.name) + ".expected");
        notes += Data(std::string(c.name) + ".notes");
    }
    inputs.push_back("../worked-example.txt");
    obsbieg += ReadBytes(DataFile("worked-example.expected"));
    notes += "../worked-example.txt:4: nieznany typ rekordu „X”, wiersz pominięty\n";

    const Converted converted = Convert(std::nullopt, inputs);
    ASSERT_EQ(converted.result.status, ConversionStatus::Succeeded);
    EXPECT_EQ(converted.obsbieg, obsbieg);
    EXPECT_EQ(converted.notes, notes);
    EXPECT_EQ(converted.result.summary.files, inputs.size());
}

TEST(RecorderGoldenByContent, AFileThatLooksLikeNoFormatFailsTheConversion) {
    TempDir dir;
    const std::string output = dir.Write("OBSBIEG", "old\r\n");
    const std::vector<std::string> paths{
        DataFile("recorders/gsi8.gsi"),
        dir.Write("list.txt", "Dear surveyor,\nthis is a letter.\n"),
        DataFile("recorders/manual-sdr.sdr")};
    std::string detail;
    TRejestratorKMX685 converter(
        [&](std::string_view, const ConversionError& error) { detail = error.detail; });
    converter.SetInputFiles(paths);
    converter.SetFormat(std::nullopt);
    EXPECT_EQ(converter.ConvertFiles(output).status, ConversionStatus::Failed);
    EXPECT_EQ(detail, "Nie rozpoznano formatu pliku „" + paths[1] +
                          "”: jego pierwsze wiersze nie wyglądają na KMX 685, Nikon RAW, "
                          "Sokkia SDR ani Leica GSI.");
    EXPECT_EQ(ReadBytes(output), "old\r\n");
}

TEST(RecogniseFormat, KmxFilesAndStrangers) {
    for (const char* kmx : {"worked-example.txt", "edge-cases.txt", "polish.txt"}) {
        EXPECT_EQ(Recognised(ReadBytes(DataFile(kmx))), RecorderFormat::Kmx685) << kmx;
    }
    EXPECT_EQ(Recognised("Dear surveyor,\nthis is a letter.\n"), RecorderFormat::Unknown);
    EXPECT_EQ(Recognised(""), RecorderFormat::Unknown);
    // One odd line does not outvote the rest.
    EXPECT_EQ(Recognised("C,1,,,,,1.5\nSS,2,1,2,3,4\nSS,3,1,2,3,4\n"), RecorderFormat::NikonRaw);
    // The first non-empty line as each format counts lines: a lone CR ends none in KMX 685.
    const FileStart start = RecogniseStart("\r\n\r\rE,1,,2,3,4,5\n\x1a");
    EXPECT_EQ(start.format, RecorderFormat::Kmx685);
    EXPECT_EQ(start.FirstLine(RecorderFormat::Kmx685), 2u);
    EXPECT_EQ(start.FirstLine(RecorderFormat::Gsi), 4u);
}

} // namespace
