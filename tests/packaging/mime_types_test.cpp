// The file types Quillet adds to the shared MIME database: read from the
// XML and matched against files the programs write, then, where the
// database tools are installed, asked of a real database built from it.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QXmlStreamReader>
#include <map>
#include <vector>

#include "tests/packaging/packaging_support.h"
#include "tests/support.h"

namespace quillet {
namespace {

using test::ReadFileBytes;
using test::RunProgram;

const QString kXml = QStringLiteral(QUILLET_PACKAGING "/quillet-mime.xml");
const std::string kPrepared = "application/x-quillet-prepared-report";
const std::string kTemplate = "application/x-quillet-report-template";
const std::string kJsonTemplate = "application/x-quillet-report-template+json";

struct MimeType {
  std::vector<std::string> globs;
  std::vector<std::string> subClassOf;
  int magicPriority = 0;
  std::vector<std::pair<int, std::string>> magic;  // offset, bytes (top-level matches)
};

// A magic value: text with \xNN escapes.
std::string MagicBytes(const QString& value) {
  std::string out;
  const std::string text = value.toStdString();
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\\' && i + 3 < text.size() && text[i + 1] == 'x') {
      out += static_cast<char>(std::stoi(text.substr(i + 2, 2), nullptr, 16));
      i += 3;
    } else {
      out += text[i];
    }
  }
  return out;
}

std::map<std::string, MimeType> ReadTypes() {
  QFile file(kXml);
  EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << kXml.toStdString();
  QXmlStreamReader xml(&file);
  std::map<std::string, MimeType> types;
  MimeType* current = nullptr;
  int priority = 0;
  int matchDepth = 0;
  while (!xml.atEnd()) {
    xml.readNext();
    const auto attr = [&](const char* name) {
      return xml.attributes().value(QLatin1String(name)).toString();
    };
    if (xml.isStartElement()) {
      const QString name = xml.name().toString();
      if (name == "mime-type") current = &types[attr("type").toStdString()];
      if (!current) continue;
      if (name == "glob") current->globs.push_back(attr("pattern").toStdString());
      if (name == "sub-class-of") current->subClassOf.push_back(attr("type").toStdString());
      if (name == "magic") priority = attr("priority").toInt();
      if (name == "match" && matchDepth++ == 0) {
        EXPECT_EQ(attr("type"), "string") << "only string matches are read here";
        current->magicPriority = priority;
        current->magic.emplace_back(attr("offset").toInt(), MagicBytes(attr("value")));
      }
    } else if (xml.isEndElement()) {
      if (xml.name() == QLatin1String("match")) --matchDepth;
      if (xml.name() == QLatin1String("mime-type")) current = nullptr;
    }
  }
  EXPECT_FALSE(xml.hasError()) << xml.errorString().toStdString();
  return types;
}

// The type whose magic matches `bytes` with the highest priority ("" none).
std::string TypeByMagic(const std::map<std::string, MimeType>& types, const std::string& bytes) {
  std::string best;
  int bestPriority = -1;
  for (const auto& [name, type] : types)
    for (const auto& [offset, value] : type.magic)
      if (bytes.compare(offset, value.size(), value) == 0 && type.magicPriority > bestPriority) {
        best = name;
        bestPriority = type.magicPriority;
      }
  return best;
}

// A prepared-report file as quillet-cli writes it.
std::string WriteSheetFrp(const std::string& name) {
  const std::string path = test::OutputPath(name);
  const auto r =
      RunProgram(QStringLiteral(QUILLET_CLI), {"sheet", "--frp", QString::fromStdString(path)});
  EXPECT_EQ(r.code, 0) << r.err;
  return path;
}

TEST(MimeTypesTest, TheXmlNamesEachTypeByItsFileNames) {
  const auto types = ReadTypes();
  ASSERT_EQ(types.size(), 3u);
  EXPECT_EQ(types.at(kPrepared).globs, std::vector<std::string>{"*.frp"});
  EXPECT_EQ(types.at(kTemplate).globs, std::vector<std::string>{"*.frf"});
  EXPECT_EQ(types.at(kJsonTemplate).globs, std::vector<std::string>{"*.frf.json"});
  EXPECT_EQ(types.at(kJsonTemplate).subClassOf, std::vector<std::string>{"application/json"});
  // Every JSON file is not a template: none of the types claims the name.
  for (const auto& [name, type] : types)
    for (const std::string& glob : type.globs) EXPECT_NE(glob, "*.json") << name;
}

TEST(MimeTypesTest, LeadingBytesTellPreparedFilesFromTemplates) {
  const auto types = ReadTypes();
  EXPECT_EQ(TypeByMagic(types, ReadFileBytes(WriteSheetFrp("mime_sheet.frp"))), kPrepared);
  for (const char* name : {"banded.frf", "children.frf", "columns.frf", "two_pass.frf"})
    EXPECT_EQ(TypeByMagic(types, ReadFileBytes(std::string(QUILLET_TEST_DATA) + "/" + name)),
              kTemplate)
        << name;
  EXPECT_EQ(TypeByMagic(types, "%PDF-1.4"), "");
  EXPECT_NE(TypeByMagic(types, "{\"pages\": []}"), kPrepared);
  EXPECT_NE(TypeByMagic(types, "{\"pages\": []}"), kTemplate);
}

TEST(MimeTypesTest, TheDesktopEntryOpensEveryType) {
  const std::string desktop = ReadFileBytes(QUILLET_DESKTOP_FILE);
  EXPECT_NE(desktop.find("\nExec=quillet %f\n"), std::string::npos);
  EXPECT_NE(desktop.find("\nMimeType=" + kPrepared + ";" + kTemplate + ";" + kJsonTemplate + ";\n"),
            std::string::npos)
      << desktop;
}

// The real database: update-mime-database builds it in a temporary data
// folder, and xdg-mime (through gio) or gio itself is asked for each file.
TEST(MimeTypesTest, TheInstalledDatabaseRecognisesTheFiles) {
  if (!test::HaveProgram("update-mime-database") || !test::HaveProgram("gio"))
    GTEST_SKIP() << "update-mime-database or gio is not installed";
  QTemporaryDir data;
  ASSERT_TRUE(QDir(data.path()).mkpath("mime/packages"));
  ASSERT_TRUE(QFile::copy(kXml, data.path() + "/mime/packages/quillet.xml"));
  ASSERT_EQ(RunProgram("update-mime-database", {data.path() + "/mime"}).code, 0);

  const std::string frp = ReadFileBytes(WriteSheetFrp("mime_db.frp"));
  const std::string frf = ReadFileBytes(std::string(QUILLET_TEST_DATA) + "/banded.frf");
  // JSON templates as the examples hold them and as quillet-cli writes them.
  const std::string example = ReadFileBytes(QUILLET_EXAMPLES "/grouped_list.json");
  const std::string dumped = test::OutputPath("mime_dumped.json");
  ASSERT_EQ(RunProgram(QStringLiteral(QUILLET_CLI),
                       {"template", "dump", QStringLiteral(QUILLET_TEST_DATA "/banded.frf"), "-o",
                        QString::fromStdString(dumped)})
                .code,
            0);
  const std::map<std::string, std::string> files = {
      {"sheet.frp", frp},
      {"sheet-without-extension", frp},
      {"banded.frf", frf},
      {"banded", frf},
      {"report.frf.json", "{\"pages\": []}\n"},
      {"grouped_list.json", example},
      {"grouped_list", example},
      {"dumped.json", ReadFileBytes(dumped)},
      {"settings.json", "{\"window\": {\"width\": 800}, \"recent\": []}\n"},
      {"notes.txt", "The \"pages\" of the book.\n"},
  };
  for (const auto& [name, bytes] : files) {
    QFile f(data.path() + "/" + QString::fromStdString(name));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes.data(), qint64(bytes.size()));
  }

  QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
  env.insert("XDG_DATA_HOME", data.path());
  env.insert("XDG_DATA_DIRS", "/usr/local/share:/usr/share");
  env.insert("XDG_CURRENT_DESKTOP", "GNOME");  // xdg-mime then asks gio
  const bool xdgMime = test::HaveProgram("xdg-mime");
  const auto typeOf = [&](const std::string& name) {
    const QString path = data.path() + "/" + QString::fromStdString(name);
    if (xdgMime) {
      auto r = RunProgram("xdg-mime", {"query", "filetype", path}, env);
      return r.out.substr(0, r.out.find('\n'));
    }
    auto r = RunProgram("gio", {"info", "-a", "standard::content-type", path}, env);
    const std::string key = "standard::content-type: ";
    const auto at = r.out.find(key);
    return at == std::string::npos
               ? r.out
               : r.out.substr(at + key.size(), r.out.find('\n', at) - at - key.size());
  };
  EXPECT_EQ(typeOf("sheet.frp"), kPrepared);
  EXPECT_EQ(typeOf("sheet-without-extension"), kPrepared);
  EXPECT_EQ(typeOf("banded.frf"), kTemplate);
  EXPECT_EQ(typeOf("banded"), kTemplate);
  EXPECT_EQ(typeOf("report.frf.json"), kJsonTemplate);
  EXPECT_EQ(typeOf("grouped_list.json"), kJsonTemplate);
  EXPECT_EQ(typeOf("grouped_list"), kJsonTemplate);
  EXPECT_EQ(typeOf("dumped.json"), kJsonTemplate);
  EXPECT_EQ(typeOf("settings.json"), "application/json");
  EXPECT_EQ(typeOf("notes.txt"), "text/plain");
}

}  // namespace
}  // namespace quillet
