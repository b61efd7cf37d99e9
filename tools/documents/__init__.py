# The user guide and the keyboard chart of Kestrel, drawn from the layout
# descriptions by tools/make_documents.py.
