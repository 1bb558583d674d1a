// TFormWords for screen readers: each edit box is tied to the label before
// it (whose text names it, the example phrase included), and the boxes and
// the list without a label of their own are named.
#include "wordlist/forms/FormWords.h"

void TFormWords::NameControls() {
    lblNewWord.setBuddy(&txtWord);
    lblShortFormText.setBuddy(&txtNickname);
    txtNickname.setAccessibleName("Short form");
    lblPluralPhrase.setBuddy(&txtPlural);
    QLineEdit* tenses[4] = {&txtPastTense, &txtContinuous, &txtPresentTense, &txtParticiple};
    for (std::size_t i = 0; i < 4; ++i)
        lblTensePhrase[i].setBuddy(tenses[i]);
    lblBiggerPhrase[0].setBuddy(&txtBigger);
    lblBiggerPhrase[1].setBuddy(&txtBiggest);
    txtAdverb.setAccessibleName("Describing an action");
    lstWordList.setAccessibleName("Word list");
    nbkWords.setAccessibleName("About the word");
}
