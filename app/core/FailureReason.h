#pragma once
// Why a file could not be read or written, in Czech words for the line under a
// message ("Nepodařilo se uložit soubor: filmy.xml." / "Disk je plný."), so that
// no English text of the system or of the table reaches the user there.
// Texts are Windows-1250, like every text of the core.
#include <exception>
#include <string>

// The reason for a system error number (errno).
std::string SystemErrorReason(int errorNumber);

// The reason for a failure: the system's error of a file failure, the status
// code of an engine failure (StatusCodeText), or a plain Czech sentence.
std::string FailureReason(const std::exception& failure);

// "0x2601" for 0x2601: the form in which status codes are shown.
std::string StatusCodeText(unsigned code);
