// The readers, streamed at random block sizes as the program streams them, against
// the plain rendering on generated files: records valid and not, fields short,
// long and missing, lines around the longest kept, every line end, framing
// bytes, Ctrl-Z.
#include "fuzz/RecorderReference.h"

#include <gtest/gtest.h>

#include <random>

namespace {

class Generator {
public:
    explicit Generator(unsigned seed) : random_(seed) {}

    std::size_t Below(std::size_t n) { return random_() % n; }
    bool OneIn(std::size_t n) { return Below(n) == 0; }
    std::string Pick(const std::vector<std::string>& choices) {
        return choices[Below(choices.size())];
    }
    std::string Digits(std::size_t count) {
        std::string digits;
        while (digits.size() < count) {
            digits += char('0' + Below(10));
        }
        return digits;
    }
    std::string Number() {
        switch (Below(8)) {
        case 0:
            return "";
        case 1:
            return Pick({"abc", "1e3", "-", "1.2.3", "  ", "--", "+.5", "7."});
        case 2:
            return Digits(30 + Below(40)) + "." + Digits(Below(30));
        default:
            return Pick({"", "-", "+", " "}) + Digits(1 + Below(4)) +
                   (OneIn(3) ? "" : "." + Digits(Below(7)));
        }
    }
    std::size_t BlockSize() {
        return OneIn(4) ? RecorderLineReader::kDefaultBlockSize : 1 + Below(64);
    }
    std::string Id() { return Pick({"", "1", " 12 ", "A-7", "0000", "P" + Digits(3)}); }
    // `width` characters: padded either way, cut when longer, so that fields run together.
    std::string Fit(std::string text, std::size_t width) {
        text.resize(std::min(text.size(), width));
        const std::string pad(width - text.size(), ' ');
        return OneIn(2) ? text + pad : pad + text;
    }

    // Lines joined by mixed line ends, with empty lines, a cut tail and a Ctrl-Z.
    std::string File(std::vector<std::string> lines) {
        std::string file;
        for (std::string& line : lines) {
            if (OneIn(10)) {
                line.resize(Below(line.size() + 1));
            }
            if (OneIn(40)) {
                line.append(RecorderLineReader::kMaxLineBytes - 60 + Below(120), 'x');
            }
            file += line + Pick({"\r\n", "\n", "\r", "\r\n\r\n", "\n\n"});
        }
        if (OneIn(5)) {
            file += "\x1a" + lines.front();
        }
        return file;
    }

    std::string NikonLine() {
        const std::string n1 = Number(), n2 = Number(), n3 = Number(), n4 = Number();
        switch (Below(10)) {
        case 0:
            return "CO,Dist Units: " + Pick({"Metres", "Feet", "US Feet", "Feet US", "Yards"});
        case 1:
            return "CO,Angle Units: " + Pick({"Gons", "DDDMMSS", "Degrees", "Mils", "Grads"});
        case 2:
            return "CO," + Pick({"Zero VA: Zenith", "Zero VA: Horizontal", "Zero VA: Up",
                                 " Dist Units:Feet ", "Comment"});
        case 3:
            return "ST," + Id() + ",," + Id() + ",," + n1 + "," + n2 + "," + n3;
        case 4:
            return Pick({"CP", "SO"}) + "," + Id() + ",X," + n1 + "," + n2 + "," + n3 + "," + n4;
        case 5:
            return Pick({"UP,1,,0,0,0", "XX,1,2", ",SS,1", "garbage", "SS", "CO"});
        default:
            return Pick({"SS", "F1", "F2", " SS "}) + "," + Id() + "," + n1 + "," + n2 + "," + n3 +
                   "," + n4 + ",12:00:00,CODE";
        }
    }

    void StartFile() {
        narrow_ = OneIn(2);
        linesInFile_ = 0;
    }

    std::string SdrLine() {
        // Each file starts with its job record; now and then a line has the other widths.
        if (linesInFile_++ == 0) {
            return "10NM" + Fit("JOB", 16) + (narrow_ ? Pick({"2", " ", ""}) : "1");
        }
        const bool narrow = OneIn(8) ? !narrow_ : narrow_;
        const auto id = [&] { return Fit(Id(), narrow ? 4 : 16); };
        const auto value = [&] { return Fit(Number(), narrow ? 10 : 16); };
        std::string line;
        switch (Below(10)) {
        case 0:
            line = "00NM" + Fit("SDR", 16) + "0000" + Fit("", 16) +
                   Pick({"1", "2", "4", "3", " "}) + Pick({"1", "2", "x", " "});
            break;
        case 1:
            line = "01KI" + std::string(46, ' ') + Pick({"1", "2", "x", ""});
            break;
        case 2:
            line = "10NM" + Fit("JOB", 16) + Pick({"1", "2", " ", ""});
            break;
        case 3:
            line = "02TP" + id() + value() + value() + value() + value() + "DESC";
            break;
        case 4:
            line = "03NM" + value();
            break;
        case 5:
            line = Pick({"07TP0001000290.0000", "13NMnote", "08KI0001", "27XX", "4F2A", "ab"});
            break;
        default:
            line = "09" + Pick({"F1", "F2", "MC", "KI"}) + id() + id() + value() + value() +
                   value() + "CODE";
        }
        if (OneIn(8)) {
            line.insert(Below(line.size() + 1), Pick({"\x02", "\x03", "\x03\x02"}));
        }
        return line;
    }

    std::string GsiLine() {
        const bool wide = OneIn(2);
        const std::size_t size = wide ? 16 : 8;
        // Mostly a unit that fits the word: an angle's for 21 and 22, a length's elsewhere.
        const auto word = [&](const std::string& index) {
            const bool angle = index == "21" || index == "22";
            std::string data =
                OneIn(4) ? Pick({"--------", "12A", "0", ""}) : Digits(1 + Below(size));
            data = std::string(size - std::min(data.size(), size), '0') + data;
            // Positions 3-5: a block number in 11 and 41, else a dot and two flags.
            const bool block = index == "11" || index == "41" || OneIn(10);
            std::string info =
                (index + (block ? Digits(3) : "." + Pick({"10", "..", ".1"}))).substr(0, 5);
            info += OneIn(6) ? Pick({"0", "1", "2", "3", "4", "5", "6", "7", "8", "9", "."})
                    : angle  ? Pick({"2", "3", "4", "5", "."})
                             : Pick({"0", "1", "6", "7", "8", "."});
            return info + (OneIn(12) ? " " : Pick({"+", "-"})) + data.substr(0, size) + " ";
        };
        std::vector<std::string> indices;
        switch (Below(6)) {
        case 0:
            indices = {"11", "84", "85", "86", "88", "87"};
            break;
        case 1:
            indices = {"41", "42", "43"};
            break;
        case 2:
            indices = {"87", "330", "XX", "hello"};
            break;
        default:
            indices = {"11", "21", "22", "31", "32", "87", "331", "21"};
        }
        while (OneIn(3)) { // a word from another kind of block
            indices.insert(
                indices.begin() + std::ptrdiff_t(Below(indices.size() + 1)),
                Pick({"11", "21", "22", "31", "32", "41", "42", "43", "84", "88", "87"}));
        }
        std::string line = wide && OneIn(4) ? "" : (wide ? "*" : "");
        for (const std::string& index : indices) {
            if (!OneIn(3)) {
                line += word(index);
            }
        }
        return line;
    }

private:
    std::mt19937 random_;
    bool narrow_ = false;
    std::size_t linesInFile_ = 0;
};

template <typename MakeLine> std::vector<std::string> Files(Generator& g, MakeLine makeLine) {
    std::vector<std::string> files(1 + g.Below(3));
    for (std::string& file : files) {
        g.StartFile();
        std::vector<std::string> lines(1 + g.Below(30));
        for (std::string& line : lines) {
            line = makeLine();
        }
        file = g.File(lines);
    }
    return files;
}

TEST(RecorderDifferential, NikonRawAgreesWithThePlainRendering) {
    for (unsigned seed = 1; seed <= 400; ++seed) {
        Generator g(seed);
        const auto files = Files(g, [&] { return g.NikonLine(); });
        ASSERT_EQ(reference::Convert<recorders::NikonRawReader>(files, false, g.BlockSize()),
                  reference::NikonRaw(files))
            << "seed " << seed;
    }
}

TEST(RecorderDifferential, SdrAgreesWithThePlainRendering) {
    for (unsigned seed = 1; seed <= 400; ++seed) {
        Generator g(seed);
        const auto files = Files(g, [&] { return g.SdrLine(); });
        ASSERT_EQ(reference::Convert<recorders::SdrReader>(files, true, g.BlockSize()),
                  reference::Sdr(files))
            << "seed " << seed;
    }
}

TEST(RecorderDifferential, GsiAgreesWithThePlainRendering) {
    for (unsigned seed = 1; seed <= 400; ++seed) {
        Generator g(seed);
        const auto files = Files(g, [&] { return g.GsiLine(); });
        ASSERT_EQ(reference::Convert<recorders::GsiReader>(files, false, g.BlockSize()),
                  reference::Gsi(files))
            << "seed " << seed;
    }
}

} // namespace
