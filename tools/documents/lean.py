# What reportlab writes that no reader uses: procedure sets (obsolete since PDF 1.4),
# empty page transitions, the default rotation, and document information beyond the
# title, author, subject, creator and the fixed dates.
from reportlab.pdfbase import pdfdoc

_plain_check_format = pdfdoc.PDFPage.check_format


def _no_procs(resources):
    resources.ProcSet = []  # an empty list is left out of the resource dictionary


def _page_transition(page, transition):
    page.Trans = pdfdoc.PDFDictionary(transition) if transition else None


def _check_format(page, document):
    if not page.Rotate:
        page.Rotate = None  # 0 is the default: left out
    _plain_check_format(page, document)


def _info_format(info, document):
    date = pdfdoc.PDFDate(ts=document._timeStamp, dateFormatter=info._dateFormatter)
    return pdfdoc.PDFDictionary({
        "Title": pdfdoc.PDFString(info.title),
        "Author": pdfdoc.PDFString(info.author),
        "Subject": pdfdoc.PDFString(info.subject),
        "Creator": pdfdoc.PDFString(info.creator),
        "CreationDate": date,
        "ModDate": date,
    }).format(document)


def install():
    """Leaves those entries out of every PDF written afterwards."""
    pdfdoc.PDFResourceDictionary.allProcs = _no_procs
    pdfdoc.PDFResourceDictionary.basicProcs = _no_procs
    pdfdoc.PDFPage.setPageTransition = _page_transition
    pdfdoc.PDFPage.check_format = _check_format
    pdfdoc.PDFInfo.format = _info_format
