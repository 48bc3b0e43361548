// Document files in every encoding the editor reads: the encoding of a
// file, its text loaded into an editor's rows a block at a time (converted
// to CP932 on the way, so that the whole file and the whole converted text
// are never held at once), and rows written back in the file's encoding.
#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "platform/mapped_chars.h"
#include "platform/text_encoding.h"
#include "shell/document_file.h"

namespace yk {

class TEditorStrings;
class TEditorScreenStrings;

// What loading a document file found.
struct TLoadedText {
  // The encoding the text is written back in: CP932 also for a file that
  // is malformed in the encoding it looked like (its bytes load unchanged).
  TTextFormat format;
  // The codes the document's characters outside CP932 were given. Never
  // null; a CP932 document's is empty and learns the document's own codes
  // of the user-defined area from its rows when it first gives one.
  std::shared_ptr<TMappedChars> chars;
  int unmapped = 0;  // characters that found no free code, each shown as "?"
  int overflow = 0;  // of them, the distinct characters
  int invalid = 0;   // malformed sequences (a chosen encoding), each "?"
  bool exact = true;  // writing the text back unchanged gives the file again
  TLineEnd lineEnd = TLineEnd::CrLf;  // the text's first line end: the document's kind
  // Another program changed the file while it was read (and each time it
  // was read again): the text may mix its old and new bytes.
  bool changing = false;
  int Lost() const { return unmapped + invalid; }
};

// A table for text that is already in rows as CP932 (read as Shift-JIS,
// restored from a snapshot): it notes the rows' own codes of the
// user-defined area when it first gives a code. The rows must outlive
// every use of the table that can give one (their editors' typing).
void LearnUsedCodes(TMappedChars& chars, const TPointerStringList& rows);

// The encoding of a file, reading only as far as the answer needs (EFileError
// when it cannot be read).
TTextEncoding DetectFileEncoding(const std::string& path);

// Loads path into lines (whose rows are rows): in encoding when one is
// given, else in the one detected, or as CP932 bytes unchanged when the file
// is malformed in that one. CP932 loads as TEditorStrings::LoadFromFile does
// (up to a Ctrl+Z); other encodings keep every character. Raises EFileError
// and leaves an empty document when the file cannot be read.
TLoadedText LoadEncodedFile(TEditorStrings& lines, TEditorScreenStrings& rows, const std::string& path,
                            std::optional<TTextEncoding> encoding = std::nullopt);

// SaveDocumentRows in format (end as there): the rows' CP932 converted a
// block of lines at a time, mapped codes as chars says. When format's
// encoding cannot hold some characters (written as "?"), confirm(count) is
// asked before the old file is replaced; false leaves it as it was, and so
// does a failure (EFileError). True: saved. eof_mark: a CP932 file that
// ended with Ctrl+Z gets it back.
bool SaveEncodedRows(const TPointerStringList& rows, const std::string& path, TLineEnd end, bool end_every_row,
                     const TTextFormat& format, const std::function<bool(int)>& confirm = {}, bool eof_mark = false,
                     const TMappedChars* chars = nullptr);

// How many mapped characters of the rows encoding cannot hold (every one
// for CP932; those outside JIS X 0212 for EUC-JP and ISO-2022-JP; none for
// Unicode).
int CountUnwritable(const TPointerStringList& rows, TTextEncoding encoding, const TMappedChars& chars);

// "UTF-8 LF", "SJIS CRLF", "UTF-8 BOM CRLF": the status bar's words for a
// document's encoding and line ends, in UTF-8; "SJIS CRLF 混在" when some
// line ends are of another kind (mixed).
std::string EncodingStatusText(const TTextFormat& format, TLineEnd end, bool mixed = false);

}  // namespace yk
