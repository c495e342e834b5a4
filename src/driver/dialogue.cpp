// dialogue: prints the banner and the driver's prompts, reads the answers from
// standard input and refuses answers the cross-validation cannot use.
#include "driver/dialogue.h"

#include <cstdio>

#include "data/console_answers.h"
#include "numeric/console.h"
#include "numeric/fatal_error.h"

void print_banner() {
    console_printf("***************************************************\n");
    console_printf("* This is a working-in-progress program for KORVA *\n");
    console_printf("* January 24, 2003.                               *\n");
    console_printf("***************************************************\n");
}

std::string ask_data_file_name() {
    console_printf("data filename ?\n");
    return answer_word("data filename ?");
}

int ask_folds(int n_subjects) {
    console_printf("how many folds of cross validation?\n");
    console_printf("(Hint: enter 2 if you don't want to run too long. Don't go ");
    console_printf("over 5)\n");
    int n_folds = answer_int("how many folds of cross validation?");
    // One fold leaves nothing to train on; more folds than subjects leaves
    // folds without a held-out case.
    if (n_folds < 2 || n_folds > n_subjects) {
        input_error("number of folds %d is out of range: it must be at least 2 and at most the "
                    "number of subjects (%d)",
                    n_folds, n_subjects);
    }
    return n_folds;
}

int ask_repeats() {
    console_printf("many times to repeat the cross validation procedures?\n");
    console_printf("(Hint: enter 1 for large data sets. 10 should be plenty ");
    console_printf("for other cases.)\n");
    int n_repeats = answer_int("many times to repeat the cross validation procedures?");
    if (n_repeats < 0) {
        input_error("number of repetitions %d is out of range: it must be 0 or more", n_repeats);
    }
    return n_repeats;
}
