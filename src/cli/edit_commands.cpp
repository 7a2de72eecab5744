// "pff add", "pff delete" and "pff rename": the commands that rewrite an archive.

#include <cstdint>
#include <iterator>
#include <optional>
#include <string>
#include <vector>

#include "cli/add_names.h"
#include "cli/cli_port.h"
#include "cli/commands.h"
#include "cli/entry_lookup.h"
#include "editing/add_file.h"
#include "editing/delete_rename.h"
#include "engine/binary_file.h"
#include "engine/control_text.h"
#include "engine/file_system.h"
#include "engine/pff_error.h"
#include "engine/text_encoding.h"

namespace pff::cli {

namespace {

bool IsFolder(const std::string& path) {
  try {
    return StatPath(path).IsDirectory;
  } catch (const PffError&) {
    return false;  // adding it then reports why it cannot be read
  }
}

// The paths of a list file, one per line ("-": standard input); a line's
// trailing CR (a list written on Windows) and empty lines are left out.
std::vector<std::string> ListedPaths(const std::string& list, std::istream& in) {
  std::string text;
  if (list == "-") {
    text.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  } else {
    BinaryFile file = BinaryFile::Open(list, BinaryFile::Mode::Read);
    text.resize(static_cast<size_t>(file.Length()));
    file.ReadExactAt(0, text.data(), text.size());
  }
  std::vector<std::string> paths;
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    std::string line = text.substr(start, end - start);
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (!line.empty()) paths.push_back(std::move(line));
    start = end + 1;
  }
  return paths;
}

int RunAdd(const ParsedArgs& args, Streams& streams) {
  if (args.Positionals.empty()) throw UsageError("expected ARCHIVE and at least one FILE");
  std::vector<std::string> files(args.Positionals.begin() + 1, args.Positionals.end());
  const std::optional<std::string> list = args.Last("--from-list");
  if (list) {
    try {
      const std::vector<std::string> listed = ListedPaths(*list, streams.In);
      files.insert(files.end(), listed.begin(), listed.end());
    } catch (const PffError& e) {
      streams.Err << "pff: the list " << EscapeControls(*list)
                  << " cannot be read: " << EscapeControls(e.what()) << "\n";
      return kExitFailed;
    }
  }
  if (files.empty() && !list) throw UsageError("expected ARCHIVE and at least one FILE");
  const bool overwrite = args.Has("--overwrite");
  EngineOptions options;
  options.AlwaysOverwrite = overwrite;
  options.ReUseDeadSpaces = !args.Has("--no-reuse");

  // A list read from standard input leaves no way to answer a question there.
  const bool interactive = streams.Interactive && list != std::string("-");
  CliPort port(streams.In, streams.Err, interactive);
  ArchiveTable table;
  if (!OpenSingle(table, args.Positionals[0], port)) return kExitFailed;
  PffArchive& archive = table.Archive(1);
  // One journal and one flush for all the files, unless a replace question may
  // wait for the user: the archive would stay locked and half-written meanwhile.
  std::optional<AddBatch> batch;
  if (overwrite || !interactive) batch.emplace(archive);

  int status = kExitOk;
  AddNames names;
  for (size_t i = 0; i < files.size() && !(batch && batch->Failed()); ++i) {
    const std::string& path = files[i];
    if (IsFolder(path)) {
      streams.Err << "pff: Unable to Add " << EscapeControls(path) << ", Please Select Only Files!\n";
      status = kExitFailed;
      continue;
    }
    if (!names.Admit(path, streams.Err)) {
      status = kExitFailed;
      continue;
    }
    switch (AddFile(path, archive, options, port, batch ? &*batch : nullptr)) {
      case AddResult::Added:
      case AddResult::Replaced:
        break;
      case AddResult::Declined:
        streams.Err << "pff: " << EscapeControls(path)
                    << " not added: an entry of the same name exists (use --overwrite to replace it)\n";
        status = kExitFailed;
        break;
      case AddResult::Failed:
      case AddResult::Stopped:  // the tool never stops a copy; listed for completeness
        status = kExitFailed;
        break;
    }
  }
  if (batch && !batch->Commit(port)) status = kExitFailed;
  return status;
}

// The numbers given before ARCHIVE, all checked before the archive is touched
// so that a typo changes nothing.
std::vector<int32_t> ParseIndexArguments(const ParsedArgs& args) {
  std::vector<int32_t> numbers;
  for (size_t i = 0; i + 1 < args.Positionals.size(); ++i) {
    auto number = ParseInt32(args.Positionals[i]);
    if (!number) throw UsageError("--index needs entry numbers, not \"" + args.Positionals[i] + "\"");
    numbers.push_back(*number);
  }
  return numbers;
}

std::vector<int> IndicesInRange(const std::vector<int32_t>& numbers, const PffArchive& archive,
                                Streams& streams, int& status) {
  std::vector<int> indices;
  const int count = static_cast<int>(archive.Entries.size());
  for (int32_t number : numbers) {
    if (number < 1 || number > count) {
      streams.Err << "pff: index " << number << " is out of range: the archive has " << count << " entries\n";
      status = kExitFailed;
      continue;
    }
    indices.push_back(number);
  }
  return indices;
}

int RunDelete(const ParsedArgs& args, Streams& streams) {
  const bool byIndex = args.Has("--index");
  if (args.Positionals.size() < 2) {
    throw UsageError(byIndex ? "expected N... ARCHIVE" : "expected ARCHIVE and at least one NAME");
  }
  const std::string& path = byIndex ? args.Positionals.back() : args.Positionals.front();
  std::vector<int32_t> numbers = byIndex ? ParseIndexArguments(args) : std::vector<int32_t>{};

  CliPort port(streams.In, streams.Err, streams.Interactive);
  ArchiveTable table;
  if (!OpenSingle(table, path, port)) return kExitFailed;
  PffArchive& archive = table.Archive(1);

  int status = kExitOk;
  std::vector<int> indices = byIndex ? IndicesInRange(numbers, archive, streams, status)
                                     : FindNamedEntries(archive, args.Positionals, 1, streams.Err, status);
  if (!indices.empty() && !DeleteFiles(archive, indices, port)) status = kExitFailed;
  return status;
}

int RunRename(const ParsedArgs& args, Streams& streams) {
  if (args.Positionals.size() != 3) throw UsageError("expected ARCHIVE OLD NEW");
  const std::string& oldName = args.Positionals[1];
  const std::string& newName = args.Positionals[2];
  CliPort port(streams.In, streams.Err, streams.Interactive);
  ArchiveTable table;
  if (!OpenSingle(table, args.Positionals[0], port)) return kExitFailed;
  PffArchive& archive = table.Archive(1);

  int index = FindEntry(archive, oldName);
  if (index == 0) {
    streams.Err << "pff: " << EscapeControls(oldName + ": no such entry in " + archive.Path) << "\n";
    return kExitFailed;
  }
  const std::string latin1 = Utf8ToLatin1(newName);
  RenameCheck check = CheckNewName(archive, latin1);
  if (check == RenameCheck::Empty) {
    streams.Err << "pff: the new name is empty; nothing changed\n";
    return kExitOk;
  }
  if (check != RenameCheck::Ok) {
    streams.Err << "pff: "
                << EscapeControls(ReplaceLineBreaks(RenameCheckMessage(check, newName), "\n"), "\n") << "\n";
    return kExitFailed;
  }
  const std::string stored = Latin1ToUtf8(latin1);
  if (stored != newName)
    streams.Err << "pff: warning: " << EscapeControls(newName) << " is stored as \"" << EscapeControls(stored)
                << "\" (names keep 16 Latin-1 characters)\n";
  return RenameFile(archive, index, latin1, port) ? kExitOk : kExitFailed;
}

}  // namespace

const Command& AddCommand() {
  static const Command command{
      "add",
      "add or replace files in an archive",
      "Usage: pff add [--overwrite] [--no-reuse] [--from-list LIST] ARCHIVE FILE...\n"
      "Adds each FILE under its own name (at most 16 characters kept).\n"
      "A file whose name is already in the archive is skipped (exit status 1)\n"
      "unless --overwrite is given; on a terminal you are asked instead.\n\n"
      "  --overwrite        replace same-named entries without asking\n"
      "  --no-reuse         always append data instead of re-using dead space\n"
      "  --from-list LIST   also the files LIST names, one per line (\"-\": standard\n"
      "                     input); no length limit of the command line applies\n",
      {{"--overwrite"}, {"--no-reuse"}, {"--from-list", true}},
      RunAdd,
  };
  return command;
}

const Command& DeleteCommand() {
  static const Command command{
      "delete",
      "turn entries into dead space",
      "Usage: pff delete ARCHIVE NAME...\n"
      "       pff delete --index N... ARCHIVE\n"
      "Turns entries into dead space (\"<DEAD SPACE>\"); the archive keeps its size.\n"
      "A NAME means the first entry of that name, any letter case; N is the\n"
      "1-based position in the directory (as \"pff list --tsv --all\" shows it).\n\n"
      "  --index   the arguments before ARCHIVE are entry numbers\n",
      {{"--index"}},
      RunDelete,
  };
  return command;
}

const Command& RenameCommand() {
  static const Command command{
      "rename",
      "rename an entry",
      "Usage: pff rename ARCHIVE OLD NEW\n"
      "Renames the first entry named OLD (any letter case) to NEW. NEW may have\n"
      "at most 16 characters and must not be the name of any entry, dead space\n"
      "included. An empty NEW changes nothing. Renaming dead space makes it live.\n",
      {},
      RunRename,
  };
  return command;
}

}  // namespace pff::cli
