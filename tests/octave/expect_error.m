function expect_error(call, identifier, message, nout)
%EXPECT_ERROR  Check that CALL() raises an error with this identifier and message.
%   The call requests NOUT outputs (default 1).
%   Octave prefixes a MEX error message with the function's name and a colon,
%   MATLAB does not; either form is accepted. An empty IDENTIFIER means the
%   error carries none.
if nargin < 4
  nout = 1;
end
outputs = cell(1, nout);
try
  if nout == 0
    call();
  else
    [outputs{:}] = call();
  end
catch err
  if ~same_message(err.message, message)
    error('expect_error:message', 'expected message "%s", got "%s"', message, err.message);
  end
  if ~strcmp(err.identifier, identifier)
    error('expect_error:identifier', 'expected identifier "%s", got "%s"', identifier, err.identifier);
  end
  return;
end
error('expect_error:none', 'expected the error "%s", but the call succeeded', message);
end

function same = same_message(actual, message)
same = strcmp(actual, message);
colon = strfind(actual, ': ');
if ~same && ~isempty(colon) && ~isempty(regexp(actual(1:colon(1) - 1), '^\w+$', 'once'))
  same = strcmp(actual(colon(1) + 2:end), message);
end
end
