#include "app/keys/command_line.h"

#include "host/window_scale.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <cstring>
#include <iterator>
#include <optional>
#include <vector>

const char usageText[] =
    "usage: kovo-tracker [--play] [--scale N] [SONG]\n"
    "       kovo-tracker --export SONG... [-o OUT.wav|FOLDER/] [--format wav|flac|ogg|opus|mp3|mod|mid] [--quality 0-10]\n"
    "                    [--loops N] [--stems] [--rate 44100|48000] [--jobs N] [--quiet]\n"
    "       kovo-tracker --help\n";

const char helpText[] =
    "usage: kovo-tracker [--play] [--scale N] [SONG]\n"
    "Kovo Tracker. With no arguments it opens the tracker's window.\n"
    "  SONG             start with the song file SONG loaded; SAVE writes back to it\n"
    "                   until the song's name is edited\n"
    "  --play           start playing at once, as F1 does\n"
    "  --               the next argument is the SONG, even when it starts with -\n"
    "  --scale N        show the window N times larger, 1 to 4 (default: what the\n"
    "                   monitor asks for and fits, or the size chosen with Ctrl+= / Ctrl+-)\n"
    "MIDI keyboards play and enter notes like the computer keyboard, with nothing to set up:\n"
    "the MIDI input \"Kovo Tracker\" / \"notes in\" (ALSA sequencer, else JACK) connects to every\n"
    "sender by itself within a second of its appearing. Check with: aconnect -l (JACK: jack_lsp -c).\n"
    "Settings file lines midi=off (no MIDI) and midi_velocity=off (volume digits as typed).\n"
    "Files (folders are made when first needed):\n"
    "  songs      data/songs/ beside the program while it may be written there, else\n"
    "             $XDG_DATA_HOME/kovo-tracker/songs/ (by default ~/.local/share/kovo-tracker/songs/);\n"
    "             the song list (Ctrl+O) shows it\n"
    "  examples   data/examples/ beside the program, or /usr/share/kovo-tracker/data/examples/\n"
    "  instruments $XDG_DATA_HOME/kovo-tracker/instruments/ (by default\n"
    "             ~/.local/share/kovo-tracker/instruments/), and the shipped ones in data/instruments/\n"
    "             beside the program; the instrument library (Ctrl+I) shows them\n"
    "  waves      $XDG_DATA_HOME/kovo-tracker/waves/ (by default ~/.local/share/kovo-tracker/waves/):\n"
    "             single-cycle WAV files that the waveform editor (Ctrl+W, then Tab) lists\n"
    "  settings   $XDG_CONFIG_HOME/kovo-tracker/settings (by default ~/.config/kovo-tracker/settings)\n"
    "  keys       $XDG_CONFIG_HOME/kovo-tracker/keys (by default ~/.config/kovo-tracker/keys)\n"
    "  exports    Ctrl+E writes NAME.wav (or the format Ctrl+F chose) into the songs folder and\n"
    "             prints its path; --export writes into the current folder (or -o)\n"
    "\n"
    "usage: kovo-tracker --export SONG... [-o OUT.wav|FOLDER/] [--format wav|flac|ogg|opus|mp3|mod|mid] [--quality 0-10]\n"
    "                    [--loops N] [--stems] [--rate 44100|48000] [--jobs N] [--quiet]\n"
    "Renders the song file SONG to a stereo sound file, faster than real time,\n"
    "with no window, display or sound card: 16-bit WAV or FLAC, Ogg Vorbis, Opus or MP3;\n"
    "or writes its notes as a 4-channel MOD module or a MIDI file (README: MOD and MIDI files).\n"
    "A SONG that names no file is the user's song of that name, else the example, as for F12.\n"
    "  -o OUT.wav       the file to write; its extension (.wav, .flac, .ogg, .opus, .mp3, .mod, .mid)\n"
    "                   gives the format (default: SONG's file name plus .wav, here)\n"
    "  -o FOLDER/       the folder for the files of several songs, each named for its\n"
    "                   song file plus the format's extension (default: here)\n"
    "  --format F       wav, flac, ogg (Vorbis), opus or mp3, whatever the extension says\n"
    "  --quality Q      the lossy formats' VBR quality, 0 (smallest) to 10 (best); default 5\n"
    "  --loops N        play the song N times through (default 1, at most 1000)\n"
    "  --stems          also write one file per channel, in the same format: OUT-1.wav ... OUT-4.wav\n"
    "  --rate R         44100 or 48000 frames a second (default 48000; Opus only 48000)\n"
    "  --jobs N         songs rendered at once (default: one per processor core)\n"
    "  --quiet          no progress line\n"
    "  --help           this text\n"
    "Exit status: 0 done, 1 the files could not be written, 2 bad arguments or a song\n"
    "file that could not be read (the other songs are still written).\n";

namespace {

constexpr int mostLoops = 1000;
constexpr int mostJobs = 256;
constexpr int opusRate = 48000;  // the only rate of the Opus files libsndfile writes
constexpr char scaleOption[] = "--scale";

// A whole decimal number within the range, or nothing.
std::optional<int> numberIn(const std::string& text, int low, int high)
{
    if (text.empty() || text.size() > 9 || !std::all_of(text.begin(), text.end(), ::isdigit)) return std::nullopt;
    int value = std::atoi(text.c_str());
    if (value < low || value > high) return std::nullopt;
    return value;
}

class Parser {
public:
    Parser(int argc, const char* const* argv) : args_(argv + std::min(argc, 1), argv + argc) {}

    CommandLine parse()
    {
        while (next_ < args_.size() && line_.action != CommandLine::badUsage &&
               line_.action != CommandLine::showHelp)
            option(args_[next_++]);
        if (line_.action == CommandLine::runTracker && exportOptionSeen_) fail("these options need --export SONG");
        if (line_.action == CommandLine::exportSong && (line_.play || !line_.songPath.empty()))
            fail("the songs to export follow --export, and --play is not for an export");
        if (line_.action == CommandLine::exportSong) settleFormat();
        return line_;
    }

private:
    void option(const std::string& name)
    {
        ExportRequest& request = line_.exportRequest;
        if (optionsEnded_ || name.empty() || name[0] != '-') {
            songArgument(name);
        } else if (name == "--") {
            optionsEnded_ = true;
        } else if (name == "--play") {
            line_.play = true;
        } else if (name == "--help" || name == "-h") {
            line_.action = CommandLine::showHelp;
        } else if (name == "--export") {
            if (line_.action == CommandLine::exportSong) return fail("--export given twice");
            if (songs(name, request.songPaths)) line_.action = CommandLine::exportSong;
        } else if (name == "-o") {
            exportOptionSeen_ = true;
            value(name, request.outPath);
        } else if (name == "--loops") {
            number(name, 1, mostLoops, request.settings.loops);
        } else if (name == "--rate") {
            rate(request.settings.rate);
        } else if (name == "--format") {
            format(request.settings.format);
        } else if (name == "--quality") {
            number(name, lowestQuality, highestQuality, request.settings.quality);
        } else if (name == "--jobs") {
            number(name, 1, mostJobs, request.jobs);
        } else if (name == "--stems") {
            exportOptionSeen_ = request.settings.stems = true;
        } else if (name == scaleOption || name.rfind(std::string(scaleOption) + "=", 0) == 0) {
            windowScale(name);
        } else if (name == "--quiet") {
            exportOptionSeen_ = request.quiet = true;
        } else {
            fail("unknown option " + name);
        }
    }

    // The tracker opens one song.
    void songArgument(const std::string& path)
    {
        if (!line_.songPath.empty()) return fail("one SONG at a time");
        if (path.empty()) return fail("an empty SONG");
        line_.songPath = path;
    }

    bool value(const std::string& name, std::string& into)
    {
        if (next_ >= args_.size() || args_[next_].empty()) {
            fail(name + " needs a value");
            return false;
        }
        into = args_[next_++];
        return true;
    }

    // One song file or more, up to the next option.
    bool songs(const std::string& name, std::vector<std::string>& into)
    {
        std::string first;
        if (!value(name, first)) return false;
        into.push_back(first);
        while (next_ < args_.size() && !args_[next_].empty() && args_[next_][0] != '-') into.push_back(args_[next_++]);
        return true;
    }

    void format(AudioFormat& into)
    {
        exportOptionSeen_ = formatGiven_ = true;
        std::string text;
        if (!value("--format", text)) return;
        std::optional<AudioFormat> named = formatNamed(text);
        if (!named) return fail("unknown format " + text + " (wav, flac, ogg, opus, mp3, mod or mid)");
        into = *named;
    }

    // The format the output's extension names, unless --format chose one;
    // a file name without an extension, or a folder, gets WAV. Then what
    // the format and the output need.
    void settleFormat()
    {
        ExportRequest& request = line_.exportRequest;
        bool toFolder = request.songPaths.size() > 1 || namesFolder(request.outPath);
        std::string extension = toFolder ? std::string() : fileExtension(request.outPath);
        if (!formatGiven_ && !extension.empty()) {
            std::optional<AudioFormat> named = formatOfExtension(extension);
            if (!named) return fail("unknown file extension " + extension + " (.wav, .flac, .ogg, .opus, .mp3, .mod or .mid)");
            request.settings.format = *named;
        }
        if (request.songPaths.size() > 1 && !request.outPath.empty() && !namesFolder(request.outPath))
            return fail("for several songs -o names a folder: " + request.outPath + "/");
        if (request.settings.stems && formatInfo(request.settings.format).notes)
            return fail(std::string("a ") + formatInfo(request.settings.format).label +
                        " file holds every channel: --stems is for sound files");
        if (request.settings.format == AudioFormat::opus && request.settings.rate != opusRate)
            return fail("Opus files are written at 48000 frames a second only");
    }

    void number(const std::string& name, int low, int high, int& into)
    {
        exportOptionSeen_ = true;
        std::string text;
        if (!value(name, text)) return;
        std::optional<int> parsed = numberIn(text, low, high);
        if (!parsed) return fail("bad number for " + name + ": " + text);
        into = *parsed;
    }

    void rate(int& into)
    {
        int parsed = 0;
        number("--rate", 1, 1000000, parsed);
        if (line_.action == CommandLine::badUsage) return;
        if (std::find(std::begin(exportRates), std::end(exportRates), parsed) == std::end(exportRates))
            return fail("bad number for --rate: " + std::to_string(parsed) + " (44100 or 48000)");
        into = parsed;
    }

    // "--scale N" or "--scale=N": the window's scale, 1 to 4.
    void windowScale(const std::string& name)
    {
        std::string text;
        if (name == scaleOption)
            text = next_ < args_.size() ? args_[next_++] : std::string();
        else
            text = name.substr(std::strlen(scaleOption) + 1);
        int scale = windowScaleOf(text);
        if (!scale) return fail("--scale needs a whole number from 1 to 4, not \"" + text + "\"");
        line_.windowScale = scale;
    }

    void fail(const std::string& error)
    {
        line_.action = CommandLine::badUsage;
        line_.error = error;
    }

    std::vector<std::string> args_;
    size_t next_ = 0;
    bool exportOptionSeen_ = false;
    bool optionsEnded_ = false;  // after "--", a SONG may start with "-"
    bool formatGiven_ = false;
    CommandLine line_;
};

} // namespace

CommandLine parseCommandLine(int argc, const char* const* argv) { return Parser(argc, argv).parse(); }
