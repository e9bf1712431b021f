%TIFF_STACK_DIMS  Height, width and slice count of a multi-page TIFF file.
%   S = TIFF_STACK_DIMS(PATH) returns S = [height, width, slices], a 1-by-3
%   double row, without reading any pixel data. PATH is a char row vector or
%   a string scalar.
%
%   Height and width are the ImageLength and ImageWidth tags of the first
%   image directory (1 when a tag is missing). Slices is the number of image
%   directories, found by following the file's chain of directory links; it
%   is exact up to 65536 and 65536 for larger files, and a file with more
%   than 32768 directories prints 'Number of slices > 32768'. When the first
%   directory's description was written by ImageJ (it contains 'ImageJ') and
%   holds a positive 'images=' count, that count is returned instead.
%
%   A PATH holding '~' goes through the shell's word expansion first: '~'
%   and '~user' become home folders, $VARIABLES are replaced, quotes are
%   removed, and only the first word is kept (an unquoted blank splits the
%   path). Command substitution ($(...) or backquotes) is refused.
%
%   Errors (all with the identifier 'tiff:inputError'):
%      'Function only accepts one input argument'   no input, or more than
%                                                   one (reported after the
%                                                   first has been opened)
%      'The first argument must be a string'        PATH is not text
%      'File "<path>" cannot be opened'             shows the expanded path
%      'Path "<path>" cannot be expanded: ...'      the expansion failed
%
%   Example:
%      s = tiff_stack_dims('~/data/stack.tif');
%      stack = zeros(s(1), s(2), s(3), 'uint16');
%
%   See also IMFINFO.
