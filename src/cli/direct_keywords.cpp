// The keyword table of a direct run: the keywords a keyword input file would
// hold for the same run, so that the run is the same in every respect.
#include <string>
#include <utility>
#include <vector>

#include "const/const.h"
#include "cli/cli.h"

namespace kavril::cli {

namespace {

// Standard input as the user names it; standard output under a name of its
// own, since an output name that is also an input name would be refused.
constexpr std::string_view kStandardInput = "-";
// The name of the built-in constants wherever the run names its constants file.
constexpr std::string_view kBuiltInConstants = "(standard constants)";

void add_keyword(t_inpkey& table, std::string_view name, std::vector<std::string> values) {
  t_key key;
  INIT_KEY(key);
  key.name = name;
  key.value = std::move(values);
  key.hasValue = true;
  table.keys.push_back(std::move(key));
}

// The folder as the path of the default names, which ends in a separator.
std::string folder_path(std::string folder) {
  if (!folder.empty() && folder.back() != '/') folder += '/';
  return folder;
}

// RXNFIL: the one name of -o; blank with -d (the default names in that
// folder); else one name beside each input.
std::vector<std::string> rinex_names(const DirectRun& run) {
  if (!run.output.empty() || run.folder.empty()) {
    std::vector<std::string> names;
    for (const std::string& input : run.brdFiles) names.push_back(rinex_name_of(run, input));
    if (!run.output.empty()) names.resize(1);
    return names;
  }
  return {std::string()};
}

}  // namespace

// The default names of a keyword file are made alike: the folder of the
// input or BRDFIL_PTH_COL_2, the base name, the extension (none when blank).
std::string rinex_name_of(const DirectRun& run, const std::string& input) {
  if (run.output == "-" || (run.output.empty() && input == kStandardInput)) return std::string(kStandardOutput);
  if (!run.output.empty()) return run.output;
  std::string device, dir, name, ext;
  int irCode = 0;
  // A gzip input is named by what it holds: dayz.brd.gz gives dayz.rnx.
  std::string path = input.ends_with(".gz") && input.size() > 3 ? input.substr(0, input.size() - 3) : input;
  FPARSE(1, path, device, dir, name, ext, irCode);
  name.resize(platform::trim_right(name).size());
  if (!name.empty() && name.back() == '.') name.pop_back();
  const std::string folder = run.folder.empty() ? device + dir : folder_path(run.folder);
  return folder + name + (run.extension.empty() ? std::string() : "." + run.extension);
}

void direct_keywords(const DirectRun& run, t_inpkey& table) {
  INIT_INPKEY(table);
  platform::clear_special_names();
  platform::set_standard_stream_names(kStandardInput, kStandardOutput);
  if (run.constFile.empty()) platform::set_builtin_text(kBuiltInConstants, kStandardConstants);

  add_keyword(table, "BRDFIL", run.brdFiles);
  add_keyword(table, "BRDFIL_PTH_COL_2", {folder_path(run.folder)});
  add_keyword(table, "BRDFIL_EXT_COL_2", {run.extension});
  const std::vector<std::string> outputs = analyst_names(run, rinex_names(run));
  // The names of -n outputs only say in which folder they are written: no
  // file under them is ever looked at.
  if (!run.analyst.nameId.empty())
    for (const std::string& output : outputs) platform::name_at_commit(output);
  add_keyword(table, "RXNFIL", outputs);
  add_keyword(table, "RUNBY", {run.agency});
  add_keyword(table, "RXNVER", {std::to_string(run.version)});
  add_keyword(table, "CONST", {run.constFile.empty() ? std::string(kBuiltInConstants) : run.constFile});
  table.nKey = static_cast<int>(table.keys.size());
  table.runPhase = 2;
}

}  // namespace kavril::cli
