// console_answers: the user's answers to the dialogue's questions, read from
// standard input as formatted input reads them. A missing or unreadable answer
// ends the run with an error line naming the question.
#pragma once

#include <string>

#include "numeric/real.h"

// Forgets everything read from standard input so far: the next answer is read
// from whatever stdin is then. For callers that replace stdin between runs.
void restart_console_answers();

// One white-space delimited word ("%s"), of any length.
std::string answer_word(const char* question);
// A whole number ("%d").
int answer_int(const char* question);
// A finite real ("%f").
real answer_real(const char* question);
