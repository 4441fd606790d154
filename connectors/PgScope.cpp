#include "connectors/PgScope.h"

#include "connectors/AsciiCase.h"

namespace trovel {

namespace {

// The JSON string that follows `key` from `at` on, still escaped; a
// relation's name is compared with another's in the same form, so the
// escapes need no undoing.
std::string StringAfter(std::string_view plan, std::string_view key, size_t& at) {
  at = plan.find(key, at);
  if (at == std::string_view::npos) return "";
  at += key.size();
  size_t end = at;
  while (end < plan.size() && plan[end] != '"') end += plan[end] == '\\' ? 2 : 1;
  std::string value(plan.substr(at, end - at));
  at = end;
  return value;
}

// Functions that read the server's files, reach other databases or act on
// other sessions. The role of the forms should be unable to call them
// anyway; this keeps a search from trying when it is not.
bool CallsForbidden(std::string_view plan) {
  static const char* const kForbidden[] = {
      "pg_read_file",  "pg_read_binary_file", "pg_ls_dir", "pg_stat_file", "lo_import", "lo_export", "lo_get",
      "dblink",        "pg_terminate_backend", "pg_cancel_backend", "pg_reload_conf", "set_config",
      "pg_ls_logdir",  "pg_ls_waldir", "pg_ls_tmpdir", "pg_ls_archive_statusdir", "pg_file_write",
      "pg_current_logfile", "query_to_xml", "query_to_xml_and_xmlschema", "table_to_xml", "database_to_xml",
      "schema_to_xml", "cursor_to_xml"};
  const std::string upper = AsciiCase::Upper(plan);
  for (const char* f : kForbidden) {
    const std::string call = AsciiCase::Upper(f) + "(";
    for (size_t at = upper.find(call); at != std::string::npos; at = upper.find(call, at + 1)) {
      const char before = at ? upper[at - 1] : ' ';
      const bool word = (before >= 'A' && before <= 'Z') || (before >= '0' && before <= '9') || before == '_';
      if (!word) return true;
    }
  }
  return false;
}

}  // namespace

std::set<std::string> PgScope::Relations(std::string_view plan) {
  std::set<std::string> out;
  for (size_t at = 0;;) {
    std::string name = StringAfter(plan, "\"Relation Name\": \"", at);
    if (at == std::string_view::npos) return out;
    size_t schema_at = at;
    std::string schema = StringAfter(plan, "\"Schema\": \"", schema_at);
    out.insert(AsciiCase::Upper(schema + "." + name));
  }
}

PgScope::PgScope(std::string_view head_plan, const std::vector<std::string>& allowed)
    : relations_(Relations(head_plan)) {
  for (const std::string& name : allowed) allowed_.insert(AsciiCase::Upper(name));
}

bool PgScope::Admits(std::string_view plan) const {
  if (CallsForbidden(plan)) return false;
  for (const std::string& relation : Relations(plan)) {
    if (relations_.count(relation) || allowed_.count(relation)) continue;
    if (allowed_.count(relation.substr(relation.find('.') + 1))) continue;
    return false;
  }
  return true;
}

}  // namespace trovel
