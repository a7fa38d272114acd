#pragma once
// Why the table refused a new film, where the catalogue's own message ("Tyto
// položky nelze vložit do databáze …") alone would leave the user guessing.
#include <exception>
#include <string>

// The reason in Czech (UTF-8) for the line under that message, or empty when
// the message says enough.
std::string InsertRefusalReason(const std::exception& failure);
