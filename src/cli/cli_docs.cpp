#include "cli_docs.h"

#include <CLI/CLI.hpp>
#include <filesystem>
#include <sstream>

#include "cli.h"
#include "data_location.h"
#include "res/messages.h"

namespace tl::cli {

namespace {

// The command line as Run declares it. The handlers are never run.
struct DeclaredTool {
    Context ctx;
    CLI::App app{kToolDescription, kToolName};
    std::vector<DeclaredCommand> commands = DeclareCommandLine(app, ctx);
};

// Text for roff: backslashes and hyphens escaped, and a line never starts
// with a control character.
std::string Roff(std::string_view text) {
    std::string out;
    bool lineStart = true;
    for (char c : text) {
        if (lineStart && (c == '.' || c == '\'')) out += "\\&";
        if (c == '\\')
            out += "\\e";
        else if (c == '-')
            out += "\\-";
        else
            out += c;
        lineStart = c == '\n';
    }
    return out;
}

// A help text of the table as a sentence of the page: capital first letter
// and a full stop.
std::string Sentence(std::string_view help) {
    std::string out = Roff(help);
    if (!out.empty() && out[0] >= 'a' && out[0] <= 'z') out[0] = static_cast<char>(out[0] - 32);
    return out + ".";
}

// A path of the FILES section: its spaces do not break the line.
std::string RoffPath(std::string_view path) {
    std::string out;
    for (char c : Roff(path)) out += c == ' ' ? std::string("\\ ") : std::string(1, c);
    return out;
}

// "--blink" with "TEXT:{none,text,all}" shows the choices; other types show
// their kind (TEXT, INT, FILE).
std::string ValueName(const CLI::Option& opt) {
    const std::string type = opt.get_type_name();
    const auto colon = type.find(':');
    if (colon == std::string::npos) return type;
    if (type.compare(colon + 1, 1, "{") == 0) return type.substr(colon + 1);
    return type.substr(0, colon);
}

// The choices of an option checked against a set, as written in its type.
std::vector<std::string> Choices(const CLI::Option& opt) {
    const std::string type = opt.get_type_name();
    const auto open = type.find(":{");
    const auto close = type.rfind('}');
    std::vector<std::string> out;
    if (open == std::string::npos || close == std::string::npos || close < open) return out;
    std::stringstream list(type.substr(open + 2, close - open - 2));
    for (std::string word; std::getline(list, word, ',');) out.push_back(word);
    return out;
}

std::vector<std::string> Names(const CLI::Option& opt) {
    std::vector<std::string> names;
    for (const std::string& s : opt.get_snames()) names.push_back("-" + s);
    for (const std::string& l : opt.get_lnames()) names.push_back("--" + l);
    return names;
}

// One option or positional as a tagged paragraph.
void OptionParagraph(std::ostream& out, const CLI::Option& opt) {
    out << ".TP\n";
    if (opt.get_positional()) {
        out << "\\fI" << Roff(opt.get_name()) << "\\fR";
        if (opt.get_items_expected_max() > 1) out << "...";
    } else {
        const std::vector<std::string> names = Names(opt);
        for (std::size_t i = 0; i < names.size(); ++i)
            out << (i ? ", " : "") << "\\fB" << Roff(names[i]) << "\\fR";
        if (!opt.get_type_name().empty()) out << " \\fI" << Roff(ValueName(opt)) << "\\fR";
    }
    std::string text = Sentence(opt.get_description());
    text.pop_back();
    out << '\n' << text;
    if (opt.get_required() && opt.get_positional()) out << " (required)";
    for (const CLI::Option* other : opt.get_excludes())
        out << "; not with \\fB" << Roff(Names(*other).back()) << "\\fR";
    out << ".\n";
}

void CommandSection(std::ostream& out, const CLI::App& sub) {
    const std::string usage = UsageLine(sub);
    out << ".SS \"" << Roff(usage.substr(usage.find(sub.get_name()))) << "\"\n"
        << Sentence(sub.get_description()) << '\n';
    for (const CLI::Option* opt : sub.get_options())
        if (opt != sub.get_help_ptr()) OptionParagraph(out, *opt);
    for (const CLI::App* nested : sub.get_subcommands({})) {
        out << ".TP\n\\fB" << Roff(nested->get_name()) << "\\fR\n"
            << Sentence(nested->get_description()) << '\n';
    }
}

constexpr std::string_view kDescription =
    "tallyleaf\\-cli reads and changes the diary of the Tally Leaf desktop program: the same data "
    "file, the same checks and the same messages. It lists, shows, writes and deletes entries, "
    "finds text, attaches and extracts files, puts and peels off sticky notes, backs up and "
    "restores the data file, exports, imports, merges, copies and optimises it, and changes the "
    "password and the settings.\n"
    ".PP\n"
    "Every command works on one data file: the one given with \\fB\\-\\-data\\fR, otherwise the "
    "one that the desktop program opens (see \\fBFILES\\fR). While the desktop program runs, it "
    "holds the data file and every command reports it as in use. A data file with a password asks "
    "for it on the terminal, or reads the tries from \\fB\\-\\-password\\-file\\fR. Questions that "
    "the desktop program asks in a message box are asked on the terminal; \\fB\\-\\-yes\\fR "
    "answers "
    "them all with yes. Ctrl+C cancels a long operation as the progress window's Cancel button "
    "does. Progress goes to standard error, results to standard output.\n";

constexpr std::string_view kDates =
    "A \\fIDATE\\fR is YYYY\\-MM\\-DD for a day's entry, YYYY\\-MM for the note of a month and "
    "YYYY for the note of a year, with years from 1900 to 9999. Where a range is asked for "
    "(\\fB\\-\\-from\\fR, \\fB\\-\\-to\\fR, \\fIFROM\\fR, \\fITO\\fR), a year or a month as the "
    "last date includes all its days.\n";

}  // namespace

const std::vector<Example>& ManPageExamples() {
    static const std::vector<Example> examples = {
        {{"create", "--if-missing"}, "Create the data file at its default place unless it exists."},
        {{"put", "2024-03-05", "--title", "Market day", "--text", "Apples and cheese."},
         "Write the title and the text of the entry of 5 March 2024."},
        {{"put", "2024-03", "--text-file", "march.txt"},
         "Make the note of March 2024 from a UTF-8 text file."},
        {{"show", "2024-03-05"},
         "Show the entry with its title, weather, text and attached files."},
        {{"find", "rain", "--and", "umbrella", "--all"},
         "List every date whose entry holds both words."},
        {{"attach", "2024-03-05", "harbour.jpg", "tickets.pdf"},
         "Attach two files to the entry of 5 March 2024."},
        {{"--json", "stats", "2024"}, "Count the records of 2024, as JSON."},
        {{"export", "diary-2023", "--from", "2023", "--to", "2023", "--encoding", "unicode"},
         "Export the entries and attached files of 2023 into the folder diary\\-2023."},
        {{"--data", "/media/stick/Mrlwbk31.dat", "check"},
         "Check a data file kept on a memory stick; the exit status tells the result."},
        {{"merge", "/media/stick", "--empty-after"},
         "Merge the diary of another folder into this one and empty it afterwards."},
        {{"settings", "ETC/TODAYRANGE", "4"}, "Let a day last until 4 o'clock the next morning."},
    };
    return examples;
}

std::string ManPage(std::string_view version) {
    DeclaredTool tool;
    std::ostringstream out;
    out << ".\\\" The manual page of tallyleaf-cli, generated from its command table.\n"
        << ".TH TALLYLEAF\\-CLI 1 \"\" \"Tally Leaf " << Roff(version)
        << "\" \"User Commands\"\n.nh\n"
        << ".SH NAME\ntallyleaf\\-cli \\- the Tally Leaf diary on the command line\n"
        << ".SH SYNOPSIS\n";
    const std::string usage = ToolUsage(tool.app);
    out << Roff(usage.substr(usage.find(' ') + 1)) << "\n.br\ntallyleaf\\-cli help\n"
        << ".SH DESCRIPTION\n"
        << kDescription << ".SH OPTIONS\nThese come before the command.\n";
    for (const CLI::Option* opt : tool.app.get_options()) OptionParagraph(out, *opt);
    out << ".SH COMMANDS\nEach command also takes \\fB\\-h\\fR, \\fB\\-\\-help\\fR.\n";
    for (const DeclaredCommand& c : tool.commands) CommandSection(out, *c.sub);
    out << ".SH DATES\n" << kDates;

    out << ".SH \"EXIT STATUS\"\n"
        << ".TP\n"
        << kExitOk << "\nDone; for \\fBcheck\\fR, the data file is sound.\n"
        << ".TP\n"
        << kExitFailure
        << "\nThe command failed, or found nothing (\\fBnext\\fR, \\fBprev\\fR, \\fBfind\\fR), "
           "or was cancelled or answered with no; for \\fBcheck\\fR, the data file is damaged.\n"
        << ".TP\n"
        << kExitUsage
        << "\nThe command line is wrong, or the data file cannot be opened: it is missing or in "
           "use.\n";

    const std::string folder(res::Text(res::Msg::DisplayTitle));
    const std::string backup =
        std::filesystem::path(kDataFileName).stem().string() + app::kBackupExtension;
    out << ".SH FILES\n"
        << ".TP\n\\fI$XDG_DATA_HOME/" << RoffPath(folder) << "/" << Roff(kDataFileName) << "\\fR\n"
        << "The data file when the desktop program's Data file settings keep the default "
           "place; without \\fBXDG_DATA_HOME\\fR it is \\fI~/.local/share/"
        << RoffPath(folder) << "/" << Roff(kDataFileName) << "\\fR. When they name another folder, "
        << "the data file is " << Roff(kDataFileName) << " in that folder.\n"
        << ".TP\n\\fI" << Roff(backup) << "\\fR\n"
        << "The backup that \\fBbackup\\fR writes and \\fBrestore\\fR reads, in the default "
           "folder or in the backup folder of the Data file settings.\n"
        << ".TP\n\\fI$XDG_CONFIG_HOME/Lantern/Tallyleaf.conf\\fR\n"
        << "The settings that \\fBsettings\\fR shows and changes, shared with the desktop "
           "program (without \\fBXDG_CONFIG_HOME\\fR: \\fI~/.config/Lantern/Tallyleaf.conf\\fR).\n";

    out << ".SH EXAMPLES\n";
    for (const Example& e : ManPageExamples()) {
        out << ".TP\n\\fBtallyleaf\\-cli";
        for (std::string_view arg : e.args) {
            const bool quote = arg.find(' ') != std::string_view::npos;
            out << ' ' << (quote ? "\"" : "") << Roff(arg) << (quote ? "\"" : "");
        }
        out << "\\fR\n" << e.what << '\n';
    }
    out << ".SH \"SEE ALSO\"\n\\fBtallyleaf\\fR(1), and the user guide of the desktop program "
           "(Help in its menu, or F1).\n";
    return out.str();
}

namespace {

// A bash word list.
std::string Words(const std::vector<std::string>& words) {
    std::string out;
    for (const std::string& w : words) out += (out.empty() ? "" : " ") + w;
    return out;
}

// The options of app (help included) and, per option that takes one of a
// set of words, the case arm that offers them.
void OptionWords(const CLI::App& app, std::vector<std::string>& names,
                 std::vector<std::string>& valued, std::ostringstream& choiceArms) {
    for (const CLI::Option* opt : app.get_options()) {
        if (opt->get_positional()) continue;
        const std::vector<std::string> n = Names(*opt);
        names.insert(names.end(), n.begin(), n.end());
        if (opt->get_type_name().empty()) continue;
        valued.insert(valued.end(), n.begin(), n.end());
        const std::vector<std::string> choices = Choices(*opt);
        if (choices.empty()) continue;
        std::string pattern;
        for (const std::string& name : n) pattern += (pattern.empty() ? "" : "|") + name;
        choiceArms << "            " << pattern << ") words=\"" << Words(choices) << "\" ;;\n";
    }
}

}  // namespace

std::string BashCompletion() {
    DeclaredTool tool;
    std::vector<std::string> globals, globalValued, commandNames{"help"};
    std::ostringstream globalChoices;
    OptionWords(tool.app, globals, globalValued, globalChoices);
    for (const DeclaredCommand& c : tool.commands) commandNames.push_back(c.sub->get_name());

    std::ostringstream arms;
    for (const DeclaredCommand& c : tool.commands) {
        std::vector<std::string> names, valued;
        std::ostringstream choices;
        OptionWords(*c.sub, names, valued, choices);
        std::vector<std::string> nested;
        for (const CLI::App* n : c.sub->get_subcommands({})) nested.push_back(n->get_name());
        arms << "        " << c.sub->get_name() << ")\n"
             << "            options=\"" << Words(names) << "\"\n"
             << "            valued=\"" << Words(valued) << "\"\n"
             << "            nested=\"" << Words(nested) << "\"\n";
        if (!choices.str().empty())
            arms << "            case $prev in\n" << choices.str() << "            esac\n";
        arms << "            ;;\n";
    }

    std::ostringstream out;
    out << "# bash completion for tallyleaf-cli, generated from its command table.\n"
           "_tallyleaf_cli() {\n"
           "    local cur=${COMP_WORDS[COMP_CWORD]} prev=${COMP_WORDS[COMP_CWORD-1]}\n"
           "    local global_valued=\" "
        << Words(globalValued)
        << " \"\n"
           "    local cmd=\"\" i w words=\"\" options=\"\" valued=\"\" nested=\"\"\n"
           "    COMPREPLY=()\n"
           "    # The command is the first word that is no option nor an option's value.\n"
           "    for ((i = 1; i < COMP_CWORD; i++)); do\n"
           "        w=${COMP_WORDS[i]}\n"
           "        if [[ $global_valued == *\" $w \"* ]]; then ((i++)); continue; fi\n"
           "        [[ $w == -* ]] && continue\n"
           "        cmd=$w\n"
           "        break\n"
           "    done\n"
           "    if [[ -z $cmd ]]; then\n"
           "        case $prev in\n"
        << globalChoices.str()
        << "        esac\n"
           "        [[ $global_valued == *\" $prev \"* && -z $words ]] && return 0\n"
           "        [[ -z $words ]] && words=\""
        << Words(globals) << ' ' << Words(commandNames)
        << "\"\n"
           "        COMPREPLY=($(compgen -W \"$words\" -- \"$cur\"))\n"
           "        return 0\n"
           "    fi\n"
           "    case $cmd in\n"
        << arms.str()
        << "        *) return 0 ;;\n"
           "    esac\n"
           "    if [[ -n $words ]]; then\n"
           "        COMPREPLY=($(compgen -W \"$words\" -- \"$cur\"))\n"
           "    elif [[ \" $valued \" == *\" $prev \"* ]]; then\n"
           "        return 0\n"
           "    elif [[ $cur == -* ]]; then\n"
           "        COMPREPLY=($(compgen -W \"$options\" -- \"$cur\"))\n"
           "    elif [[ -n $nested && $prev == \"$cmd\" ]]; then\n"
           "        COMPREPLY=($(compgen -W \"$nested\" -- \"$cur\"))\n"
           "    fi\n"
           "    return 0\n"
           "}\n"
           "complete -o default -F _tallyleaf_cli tallyleaf-cli\n";
    return out.str();
}

}  // namespace tl::cli
