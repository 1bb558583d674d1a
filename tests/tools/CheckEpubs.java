// Checks each EPUB named on the command line with EPUBCheck's own API, all in
// one Java start: prints "<file>: <errors and warnings>" for each and its
// messages, and exits 1 when any file has an error or a warning.
//   java -cp /usr/share/java/epubcheck.jar CheckEpubs.java BOOK.epub...
import com.adobe.epubcheck.api.EpubCheck;
import com.adobe.epubcheck.util.DefaultReportImpl;
import java.io.File;

public class CheckEpubs {
    public static void main(String[] args) {
        int bad = 0;
        for (String path : args) {
            DefaultReportImpl report = new DefaultReportImpl(path);
            new EpubCheck(new File(path), report).validate();
            int n = report.getFatalErrorCount() + report.getErrorCount()
                    + report.getWarningCount();
            System.out.println(path + ": " + n);
            if (n > 0)
                bad++;
        }
        System.exit(bad == 0 ? 0 : 1);
    }
}
